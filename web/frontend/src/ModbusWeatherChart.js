'use strict';

// Draws a searched code's history as small multiples: one uPlot chart per
// reading (temperature, humidity, pressure, wind speed), each with its own
// axis and unit, side by side where the page is wide and stacked on a
// phone. All charts share one time axis, fitted to the readings of all of
// them, so that they line up.

var uPlot = require('uplot');
var readingScale = require('./ReadingScale');

var PLOT_HEIGHT = 170;
var Y_AXIS_SIZE = 58;
// Points are marked while there is this much room per point across the
// chart's width (uPlot's own rule measures only the span of the data, so a
// few readings close together would show neither line nor points).
var PIXELS_PER_POINT = 8;
// The time axis is never narrower than this (seconds): readings of a few
// minutes are drawn in the middle of an hour instead of filling the width.
var MIN_TIME_SPAN = 3600;
// Times on the 24-hour clock and dates as the table writes them: the time
// axis's labels by tick spacing (uPlot's table: spacing, label, the label
// where the year, month, day, hour, minute or second changes, mode), and
// the legend's time under the cursor.
var TIME_TICKS = [
  [3600 * 24, '{DD}-{MMM}', null, null, null, null, null, null, 1],
  [60, '{HH}:{mm}', '\n{DD}-{MMM}', null, '\n{DD}-{MMM}', null, null, null, 1]
];
var CURSOR_TIME = '{DD}-{MMM}-{YYYY} {HH}:{mm}:{ss}';

function element(tag, className, text) {
  var node = document.createElement(tag);
  node.className = className;
  if (text) {
    node.textContent = text;
  }
  return node;
}

// section: the page's history section, holding .history-code,
// .history-note and .history-charts.
function ModbusWeatherChart(section) {
  var self = this;
  self.section = section;
  self.codeElement = section.querySelector('.history-code');
  self.noteElement = section.querySelector('.history-note');
  self.chartsElement = section.querySelector('.history-charts');
  self.plots = [];
}

ModbusWeatherChart.prototype.clear = function () {
  this.plots.forEach(function (entry) {
    entry.observer.disconnect();
    entry.plot.destroy();
  });
  this.plots = [];
  while (this.chartsElement.firstChild) {
    this.chartsElement.removeChild(this.chartsElement.firstChild);
  }
  this.noteElement.textContent = '';
  this.codeElement.textContent = '';
  this.section.hidden = true;
};

// history: what ModbusWeatherHistory.decodeHistory gives, or null to hide
// the section.
ModbusWeatherChart.prototype.show = function (history) {
  var self = this;
  self.clear();
  if (!history) {
    return;
  }
  self.section.hidden = false;
  self.codeElement.textContent = history.code;
  self.noteElement.textContent = history.note;
  var range = timeRange(history.charts);
  history.charts.forEach(function (chart) {
    var figure = element('figure', 'history-chart');
    figure.setAttribute('data-reading', chart.name);
    figure.appendChild(element('figcaption', 'history-caption', chart.title + ' (' + chart.unit + ')'));
    var holder = element('div', 'history-plot');
    figure.appendChild(holder);
    self.chartsElement.appendChild(figure);
    var plot = new uPlot(options(chart, range, holder.clientWidth), chart.data, holder);
    self.plots.push({ plot: plot, observer: followWidth(holder, plot) });
  });
};

// Keeps a chart as wide as its holder, which fills its card's content box.
// A chart is created while the cards after it do not exist yet, so its
// first width is rarely its last: the grid narrows the cards as more are
// added, and again when the window changes. The holder's width comes from
// the grid alone (it clips what overflows), so a new width never feeds back.
function followWidth(holder, plot) {
  var observer = new ResizeObserver(function (entries) {
    var width = Math.floor(entries[entries.length - 1].contentRect.width);
    if (width > 0 && width !== plot.width) {
      plot.setSize({ width: width, height: PLOT_HEIGHT });
    }
  });
  observer.observe(holder);
  return observer;
}

// The readings' own span with a little room around it; a flat line or a
// single point gets room in proportion to its value (at least 1), so that
// pressure is not drawn against a scale starting at 0.
function readingRange(u, min, max) {
  if (min === null || max === null) {
    return [0, 1];
  }
  var room = max > min ? (max - min) * 0.1 : Math.max(Math.abs(max) * 0.02, 1);
  return [min - room, max + room];
}

// The time axis shared by all charts: from the first to the last reading of
// any of them, widened about its middle to MIN_TIME_SPAN when shorter.
// Each chart's times are sorted and not empty.
function timeRange(charts) {
  var first = Infinity;
  var last = -Infinity;
  charts.forEach(function (chart) {
    var times = chart.data[0];
    first = Math.min(first, times[0]);
    last = Math.max(last, times[times.length - 1]);
  });
  if (last - first >= MIN_TIME_SPAN) {
    return [first, last];
  }
  var middle = (first + last) / 2;
  return [middle - MIN_TIME_SPAN / 2, middle + MIN_TIME_SPAN / 2];
}

function options(chart, range, width) {
  // The legend's value under the cursor, as the table shows the reading.
  function shown(value) {
    return value === null || value === undefined ? '\u2013' : readingScale.formatReading(chart.name, value);
  }
  return {
    width: width,
    height: PLOT_HEIGHT,
    scales: { x: { time: true, range: range }, y: { range: readingRange } },
    cursor: { drag: { x: false, y: false } },
    series: [
      { value: CURSOR_TIME },
      {
        label: chart.title,
        stroke: chart.colour,
        width: 2,
        fill: chart.colour + '1f',
        points: {
          size: 7,
          show: function (u) { return u.data[0].length * PIXELS_PER_POINT <= u.width; }
        },
        value: function (u, value) { return shown(value); }
      }
    ],
    axes: [
      { values: TIME_TICKS },
      { size: Y_AXIS_SIZE }
    ]
  };
}

ModbusWeatherChart.timeRange = timeRange;

module.exports = ModbusWeatherChart;
