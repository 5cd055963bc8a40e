'use strict';

var test = require('node:test');
var assert = require('node:assert/strict');
var scale = require('../src/ReadingScale');

test('weather words are shown signed where needed, scaled and with their unit', function () {
  [['temp', '65366', '-17.0 \u00B0C'], ['temp', '215', '21.5 \u00B0C'], ['temp', '0', '0.0 \u00B0C'],
    ['temp', '65535', '-0.1 \u00B0C'], ['temp', '32767', '3276.7 \u00B0C'], ['temp', '32768', '-3276.8 \u00B0C'],
    ['wind.speed', '34', '3.4 m/s'], ['wind.speed', '65366', '6536.6 m/s'], ['pressure', '1013', '1013 hPa'],
    ['humidity', '71', '71 %'], ['wind.deg', '270', '270 \u00B0'], ['clouds', '100', '100 %']]
    .forEach(function (c) {
      assert.equal(scale.shownValue('V1L', c[0], c[1]), c[2], c.join(' '));
    });
});

test('information rows, other names and texts that are no word stay as they are', function () {
  [['0', 'temp', '65366'], ['V1L', 'station.3', '65366'], ['V1L', 'Temp', '215'],
    ['V1L', 'temp', '65536'], ['V1L', 'temp', '-5'], ['V1L', 'temp', '12abc'], ['V1L', 'temp', '']]
    .forEach(function (c) {
      assert.equal(scale.shownValue(c[0], c[1], c[2]), c[2], c.join(' '));
    });
  assert.equal(scale.readingOf('pressure', ' 1013 '), 1013);
  assert.equal(scale.scaleOf('toString'), null);
});
