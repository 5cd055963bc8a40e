'use strict';

// Draws a searched code's history as small multiples: one uPlot chart per
// reading (temperature, humidity, pressure, wind speed), each with its own
// axis and unit, side by side where the page is wide and stacked on a
// phone. All charts span the same hours, ending now, so that they line up.

var uPlot = require('uplot');
var readingScale = require('./ReadingScale');

var PLOT_HEIGHT = 170;
var Y_AXIS_SIZE = 58;
// Points are marked while there is this much room per point across the
// chart's width (uPlot's own rule measures only the span of the data, so a
// few readings close together would show neither line nor points).
var PIXELS_PER_POINT = 8;
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
  self.resizePending = false;
  window.addEventListener('resize', function () {
    if (!self.resizePending) {
      self.resizePending = true;
      window.requestAnimationFrame(function () {
        self.resizePending = false;
        self.fit();
      });
    }
  }, false);
}

ModbusWeatherChart.prototype.clear = function () {
  this.plots.forEach(function (entry) { entry.plot.destroy(); });
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
  var to = Math.max(Date.now() / 1000, lastTime(history.charts));
  var range = [to - history.hours * 3600, to];
  history.charts.forEach(function (chart) {
    var figure = element('figure', 'history-chart');
    figure.setAttribute('data-reading', chart.name);
    figure.appendChild(element('figcaption', 'history-caption', chart.title + ' (' + chart.unit + ')'));
    var holder = element('div', 'history-plot');
    figure.appendChild(holder);
    self.chartsElement.appendChild(figure);
    self.plots.push({ holder: holder, plot: new uPlot(options(chart, range, holder.clientWidth), chart.data, holder) });
  });
};

// Follows the width of each chart's place on the page.
ModbusWeatherChart.prototype.fit = function () {
  this.plots.forEach(function (entry) {
    entry.plot.setSize({ width: entry.holder.clientWidth, height: PLOT_HEIGHT });
  });
};

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

function lastTime(charts) {
  return charts.reduce(function (last, chart) {
    return Math.max(last, chart.data[0][chart.data[0].length - 1]);
  }, 0);
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

module.exports = ModbusWeatherChart;
