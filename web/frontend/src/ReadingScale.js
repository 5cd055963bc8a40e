'use strict';

// How a weather reading is kept in its register and shown to a person: the
// server stores each reading once as a 16-bit word, temp (signed) and
// wind.speed in tenths, the other weather names in whole units. Any other
// name (an information row, a row added by hand) is shown as its word.

var SCALES = {
  'temp': { factor: 10, signed: true, unit: '\u00B0C' },
  'wind.speed': { factor: 10, signed: false, unit: 'm/s' },
  'humidity': { factor: 1, signed: false, unit: '%' },
  'pressure': { factor: 1, signed: false, unit: 'hPa' },
  'wind.deg': { factor: 1, signed: false, unit: '\u00B0' },
  'clouds': { factor: 1, signed: false, unit: '%' }
};

// Information rows carry this code; their names are not readings.
var INFO_CODE = '0';

function scaleOf(name) {
  return Object.prototype.hasOwnProperty.call(SCALES, name) ? SCALES[name] : null;
}

// The reading a register word stands for, or null when the name has no
// scale or the text is not a 16-bit word.
function readingOf(name, wordText) {
  var scale = scaleOf(name);
  var text = String(wordText).trim();
  if (!scale || !/^\d+$/.test(text) || Number(text) > 0xFFFF) {
    return null;
  }
  var word = Number(text);
  if (scale.signed && word >= 0x8000) {
    word -= 0x10000;
  }
  return word / scale.factor;
}

// A reading with as many decimals as its scale gives and its unit:
// "-17.0 °C", "3.4 m/s", "1013 hPa".
function formatReading(name, reading) {
  var scale = scaleOf(name);
  var decimals = scale && scale.factor === 10 ? 1 : 0;
  return reading.toFixed(decimals) + (scale ? ' ' + scale.unit : '');
}

// The text the table shows for a row's value: the reading for a weather
// name, the word as it stands for everything else.
function shownValue(code, name, wordText) {
  var reading = String(code) === INFO_CODE ? null : readingOf(name, wordText);
  return reading === null ? String(wordText) : formatReading(name, reading);
}

module.exports = {
  scaleOf: scaleOf,
  readingOf: readingOf,
  formatReading: formatReading,
  shownValue: shownValue
};
