'use strict';

var test = require('node:test');
var assert = require('node:assert/strict');
var history = require('../src/ModbusWeatherHistory');

test('the charted readings come in page order, oldest point first, with their units', function () {
  var body = JSON.stringify({ postal: 'V1L', hours: 24, series: {
    'wind.speed': { unit: 'm/s', points: [[1765270030, 3.4], [1765270000, 3.1]] },
    'clouds': { unit: '%', points: [[1765270000, 40]] },
    'temp': { unit: '\u00B0C', points: [[1765270000, -17], [1765270030, 'x'], [1765270060, -16.5]] },
    'pressure': { unit: 'hPa', points: [] }
  } });
  var shown = history.decodeHistory(200, body, 'V1L');
  assert.equal(shown.note, '');
  assert.deepEqual(shown.charts.map(function (c) { return [c.name, c.unit, c.data]; }), [
    ['temp', '\u00B0C', [[1765270000, 1765270060], [-17, -16.5]]],
    ['wind.speed', 'm/s', [[1765270000, 1765270030], [3.1, 3.4]]]
  ]);
});

test('without points, on an error or a missing route there is only a note', function () {
  assert.equal(history.decodeHistory(200, '{"postal":"V1L","hours":24,"series":{}}', 'V1L').note,
    'No readings for V1L in the last 24 hours');
  assert.equal(history.decodeHistory(400, '{"errorCode": 400, "errorMessage": "bad postal"}', 'V1L').note,
    'No history for V1L: bad postal');
  [[404, ''], [200, '[{"Name": "temp"}]'], [200, 'not json'], [500, '{"series": {}}']].forEach(function (reply) {
    var shown = history.decodeHistory(reply[0], reply[1], '90001');
    assert.deepEqual([shown.charts, shown.note], [[], 'No history for 90001'], reply[1]);
  });
});
