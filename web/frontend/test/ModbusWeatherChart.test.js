'use strict';

var test = require('node:test');
var assert = require('node:assert/strict');
var timeRange = require('../src/ModbusWeatherChart').timeRange;

function chart(times) {
  return { data: [times, times.map(function () { return 1; })] };
}

test('the time axis runs from the first to the last reading of all charts', function () {
  var start = 1765270000;
  assert.deepEqual(timeRange([chart([start + 600, start + 7200]), chart([start, start + 3600])]),
    [start, start + 7200]);
});

test('readings closer than an hour sit in the middle of an hour', function () {
  var start = 1765270000;
  assert.deepEqual(timeRange([chart([start, start + 300]), chart([start + 120])]),
    [start + 150 - 1800, start + 150 + 1800]);
  assert.deepEqual(timeRange([chart([start])]), [start - 1800, start + 1800]);
});
