'use strict';

// Reads the server's history answer (GET /history?postal=CODE&hours=N):
// {"postal": ..., "hours": N, "series": {"temp": {"unit": "°C",
// "points": [[unix seconds, reading], ...]}, ...}}, readings already scaled.
// Picks the readings the page charts, in the order it shows them, and says
// in a short note why there is nothing to draw.

var readingScale = require('./ReadingScale');

var HOURS = 24;

// The charted readings, their titles and line colours.
var CHARTED = [
  { name: 'temp', title: 'Temperature', colour: '#c0392b' },
  { name: 'humidity', title: 'Humidity', colour: '#2471a3' },
  { name: 'pressure', title: 'Pressure', colour: '#7d3c98' },
  { name: 'wind.speed', title: 'Wind speed', colour: '#1e8449' }
];

function isObject(value) {
  return value !== null && typeof value === 'object' && !Array.isArray(value);
}

function parse(body) {
  try {
    return JSON.parse(body);
  } catch (e) {
    return undefined;
  }
}

function isPoint(point) {
  return Array.isArray(point) && point.length >= 2 && typeof point[0] === 'number' &&
    typeof point[1] === 'number' && isFinite(point[0]) && isFinite(point[1]);
}

// Points as uPlot takes them: [[times...], [readings...]], oldest first.
function columns(points) {
  var sorted = points.filter(isPoint).sort(function (a, b) { return a[0] - b[0]; });
  return [sorted.map(function (p) { return p[0]; }), sorted.map(function (p) { return p[1]; })];
}

function noteOnly(code, note) {
  return { code: code, hours: HOURS, charts: [], note: note };
}

// Returns { code, hours, charts: [{ name, title, colour, unit, data }], note }:
// note is empty when there is at least one chart.
function decodeHistory(status, body, code) {
  var answer = parse(body);
  if (status !== 200 || !isObject(answer) || !isObject(answer.series)) {
    var reason = isObject(answer) && typeof answer.errorMessage === 'string' ? ': ' + answer.errorMessage : '';
    return noteOnly(code, 'No history for ' + code + reason);
  }
  var hours = typeof answer.hours === 'number' && answer.hours > 0 ? answer.hours : HOURS;
  var charts = [];
  CHARTED.forEach(function (charted) {
    var series = answer.series[charted.name];
    var data = isObject(series) && Array.isArray(series.points) ? columns(series.points) : [[], []];
    if (data[0].length === 0) {
      return;
    }
    var unit = typeof series.unit === 'string' ? series.unit : readingScale.scaleOf(charted.name).unit;
    charts.push({ name: charted.name, title: charted.title, colour: charted.colour, unit: unit, data: data });
  });
  var note = charts.length === 0 ? 'No readings for ' + code + ' in the last ' + hours + ' hours' : '';
  return { code: code, hours: hours, charts: charts, note: note };
}

module.exports = {
  HOURS: HOURS,
  decodeHistory: decodeHistory
};
