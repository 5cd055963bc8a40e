'use strict';

// Run with TZ=UTC: the dates are shown in local time.
var test = require('node:test');
var assert = require('node:assert/strict');
var answer = require('../src/ModbusWeatherAnswer');

function row(offset, name, value, lastUpdated) {
  return { Code: '0', LastUpdated: String(lastUpdated || 0), ModbusOffset: String(offset),
    Name: name, Value: String(value) };
}

test('a row gets its PDU and APU addresses and a readable date', function () {
  var shown = answer.transformRow(row(19, 'app.spare.14', 7, 1700000000));
  assert.equal(shown.PDU, 40020);
  assert.equal(shown.APU, 400020);
  assert.equal(shown.LastUpdated, '14-Nov-2023 22:13:20');
  assert.equal(shown.ModbusOffset, '19');
  assert.equal(shown.Name, 'app.spare.14');
  assert.equal(shown.Value, '7');
  assert.equal(shown.Reading, '7');
});

test('a weather row shows its reading beside the register word', function () {
  var shown = answer.transformRow({ Code: 'V1L', LastUpdated: '0', ModbusOffset: '52', Name: 'temp',
    Value: '65366' });
  assert.equal(shown.Reading, '-17.0 \u00B0C');
  assert.equal(shown.Value, '65366');
});

test('LastUpdated 0 is the first second of 1970', function () {
  assert.equal(answer.transformRow(row(0, 'a', 0, 0)).LastUpdated, '01-Jan-1970 00:00:00');
  assert.equal(answer.transformRow(row(0, 'a', 0, 0)).PDU, 40001);
});

test('a good answer is a status 200 row list', function () {
  var result = answer.decodeAnswer(200, JSON.stringify([row(0, 'a', 1)]));
  assert.deepEqual(result, { rows: [row(0, 'a', 1)] });
});

test('a server error answer shows its errorCode and errorMessage', function () {
  var result = answer.decodeAnswer(400, '{"errorCode": 400, "errorMessage": "No results"}');
  assert.deepEqual(result.error, { code: 400, message: 'No results' });
  assert.equal(answer.errorText(result.error), 'Error [400] No results');
});

test('an errorCode member makes even a status 200 answer an error', function () {
  var result = answer.decodeAnswer(200, '{"errorCode": 500, "errorMessage": "Could not query the database"}');
  assert.equal(answer.errorText(result.error), 'Error [500] Could not query the database');
});

test('an "Error Code" member is reported under code 4', function () {
  var result = answer.decodeAnswer(500, '{"Error Code": "Timed out"}');
  assert.equal(answer.errorText(result.error), 'Error [4] Timed out');
});

test('answers that cannot be read are error 99', function () {
  [[500, 'Error(500) errorMessage: oops '], [404, ''], [400, '{"other": 1}'], [200, '"text"'],
    [200, 'null'], [200, '{"Name": "x"}']].forEach(function (reply) {
    var result = answer.decodeAnswer(reply[0], reply[1]);
    assert.equal(answer.errorText(result.error), 'Error [99] Unable to decode response', reply[1]);
  });
});

test('the page after an added row ends at that row', function () {
  assert.equal(answer.followUpOffset([row(25, 'no name', 3)], 20), 6);
  assert.equal(answer.followUpOffset([row(25, 'no name', 3)], '50'), -24);
});

test('the version object is built from the rows names', function () {
  var body = JSON.stringify([row(0, 'app.version.major', 0), row(1, 'app.version.minor', 0),
    row(2, 'app.version.patch', 5)]);
  assert.deepEqual(answer.versionFromBody(body), { major: '0', minor: '0', patch: '5' });
});

test('without a row list the version is left alone', function () {
  assert.equal(answer.versionFromBody(''), null);
  assert.equal(answer.versionFromBody('{"errorCode": 400, "errorMessage": "No results"}'), null);
  assert.equal(answer.versionFromBody('not json'), null);
  assert.deepEqual(answer.defaultVersion(), { major: '0', minor: '0', patch: '3' });
});
