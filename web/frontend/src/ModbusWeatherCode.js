'use strict';

// The zip or postal code the user searched for, and the one before it.
// A zip code is five digits (90001); a postal code is three or six
// characters holding a letter, a digit and a letter in a row (V1L, V1L3A5).

var ZIP_LENGTH = 5;
var POSTAL_LENGTHS = [3, 6];
var ZIP_PATTERN = /[0-9]{5}/;
var POSTAL_PATTERN = /[A-Z][0-9][A-Z]/;

function isValidCode(code) {
  var text = String(code);
  if (text.length === ZIP_LENGTH) {
    return ZIP_PATTERN.test(text);
  }
  if (POSTAL_LENGTHS.indexOf(text.length) !== -1) {
    return POSTAL_PATTERN.test(text);
  }
  return false;
}

function ModbusWeatherCode() {
  this.code = 0;
  this.previousCode = 0;
}

// Takes what the user typed. Blanks around it are dropped; an empty entry
// keeps the stored code, so submitting an empty field repeats the last search.
ModbusWeatherCode.prototype.enter = function (text) {
  var entered = String(text === undefined || text === null ? '' : text).trim();
  if (entered === '') {
    return;
  }
  this.previousCode = this.code;
  this.code = entered.toUpperCase();
};

ModbusWeatherCode.prototype.getCode = function () {
  return this.code;
};

ModbusWeatherCode.prototype.getPreviousCode = function () {
  return this.previousCode;
};

ModbusWeatherCode.prototype.isValid = function () {
  return isValidCode(this.code);
};

ModbusWeatherCode.isValidCode = isValidCode;

module.exports = ModbusWeatherCode;
