'use strict';

var test = require('node:test');
var assert = require('node:assert/strict');
var ModbusWeatherConfig = require('../src/ModbusWeatherConfig');
var ModbusWeatherData = require('../src/ModbusWeatherData');

var BASE = 'http://127.0.0.1:8080/';

function rowsBody(first, count) {
  var rows = [];
  for (var i = 0; i < count; i++) {
    rows.push({ Code: '0', LastUpdated: '0', ModbusOffset: String(first + i),
      Name: 'app.version.' + ['major', 'minor', 'patch'][i % 3], Value: String(i) });
  }
  return JSON.stringify(rows);
}

// A server stand-in: records each query string and answers from `reply`
// (a function of the query string giving { status, body } or null for a
// network failure). The view records what the page was told.
function setUp(reply) {
  var sent = [];
  var told = [];
  var view = {
    setBusy: function (on) { told.push(on ? 'busy' : 'idle'); },
    showRows: function (rows) { told.push('rows from ' + rows[0].ModbusOffset + ' of ' + rows.length); },
    showVersion: function (v) { told.push('version ' + v.major + '.' + v.minor + '.' + v.patch); },
    showAlert: function (text) { told.push('alert ' + text); },
    showHistory: function (h) { told.push(h ? 'history ' + (h.note || h.charts.length + ' charts') : 'history cleared'); }
  };
  function transport(url) {
    assert.ok(url.indexOf(BASE + '?') === 0 || url.indexOf(BASE + 'history?') === 0, url);
    var query = url.slice(BASE.length).replace(/^\?/, '');
    sent.push(query);
    var answer = reply(query);
    return answer ? Promise.resolve(answer) : Promise.reject(new Error('down'));
  }
  var config = new ModbusWeatherConfig();
  var data = new ModbusWeatherData(config, view, { baseAddress: BASE, transport: transport });
  return { data: data, config: config, sent: sent, told: told };
}

function settle() {
  return new Promise(function (resolve) { setTimeout(resolve, 10); });
}

function firstRowsFrom(query) {
  var offset = /offset=(-?\d+)/.exec(query);
  var limit = /limit=(\d+)/.exec(query);
  return { status: 200, body: rowsBody(Math.max(offset ? +offset[1] : 0, 0), limit ? +limit[1] : 1) };
}

test('page load asks for the first 20 rows, then the version', async function () {
  var page = setUp(firstRowsFrom);
  assert.deepEqual(page.sent, ['limit=20&offset=0', 'limit=3&offset=0']);
  await settle();
  assert.deepEqual(page.told.sort(), ['busy', 'idle', 'rows from 0 of 20', 'version 0.1.2'].sort());
  assert.equal(page.data.getRows()[19].PDU, 40020);
});

test('paging sends offset and limit and follows the first row shown', async function () {
  var page = setUp(firstRowsFrom);
  await settle();
  page.data.next();
  await settle();
  assert.equal(page.config.getOffset(), 20);
  page.data.changeLimit('50');
  page.data.previous();
  page.data.home();
  assert.deepEqual(page.sent.slice(2), ['offset=20&limit=20', 'offset=20&limit=50',
    'offset=0&limit=50', 'offset=0&limit=50']);
});

var HISTORY = JSON.stringify({ postal: 'V1L', hours: 24, series: {
  temp: { unit: '\u00B0C', points: [[1765270000, 21.5]] }, humidity: { unit: '%', points: [[1765270000, 71]] } } });

test('a postal search sends limit and postal, then asks for the code\'s history', async function () {
  var page = setUp(function (query) {
    if (/^history/.test(query)) {
      return { status: 200, body: HISTORY };
    }
    return /postal/.test(query) ? { status: 200, body: rowsBody(42, 3) } : firstRowsFrom(query);
  });
  await settle();
  page.data.search('V1L');
  await settle();
  assert.deepEqual(page.sent.slice(2), ['limit=20&postal=V1L', 'history?postal=V1L&hours=24']);
  assert.equal(page.config.getOffset(), 42);
  assert.deepEqual(page.told.slice(-5), ['history cleared', 'busy', 'idle', 'rows from 42 of 3', 'history 2 charts']);
});

test('a failed search asks for no history; a missing history route leaves a note', async function () {
  var page = setUp(function (query) {
    if (/^history/.test(query)) {
      return { status: 404, body: '' };
    }
    return /postal=K1A/.test(query) ? { status: 400, body: '{"errorCode": 400, "errorMessage": "No results"}' }
      : firstRowsFrom(query);
  });
  await settle();
  page.data.search('K1A');
  await settle();
  page.data.search('V1L');
  await settle();
  assert.deepEqual(page.sent.slice(2), ['limit=20&postal=K1A', 'limit=20&postal=V1L', 'history?postal=V1L&hours=24']);
  assert.equal(page.told[page.told.length - 1], 'history No history for V1L');
});

test('a write is followed by the current page', async function () {
  var page = setUp(function (query) {
    return /action=write/.test(query) ? { status: 200, body: rowsBody(25, 1) } : firstRowsFrom(query);
  });
  await settle();
  page.data.write(25, '12abc');
  await settle();
  assert.deepEqual(page.sent.slice(2), ['id=25&value=12abc&action=write', 'offset=0&limit=20']);
  assert.equal(page.told.filter(function (t) { return /^rows/.test(t); }).length, 2);
});

test('an added row is shown as the last row of its page', async function () {
  var page = setUp(function (query) {
    return /action=add/.test(query) ? { status: 200, body: rowsBody(25, 1) } : firstRowsFrom(query);
  });
  await settle();
  page.data.add('Out+side & 2', '3');
  await settle();
  assert.deepEqual(page.sent.slice(2), ['name=Out%2Bside%20%26%202&value=3&action=add', 'limit=20&offset=6']);
  assert.equal(page.config.getOffset(), 6);
});

test('an error answer is an alert and keeps the offset', async function () {
  var page = setUp(function (query) {
    return /offset=20/.test(query) ? { status: 400, body: '{"errorCode": 400, "errorMessage": "No results"}' }
      : firstRowsFrom(query);
  });
  await settle();
  page.data.next();
  await settle();
  assert.deepEqual(page.told.slice(-3), ['busy', 'idle', 'alert Error [400] No results']);
  assert.equal(page.config.getOffset(), 0);
});

test('a failed request is an unknown error; a failed version request keeps 0.0.3', async function () {
  var page = setUp(function () { return null; });
  await settle();
  assert.deepEqual(page.told, ['busy', 'idle', 'alert Unknown Error']);
});
