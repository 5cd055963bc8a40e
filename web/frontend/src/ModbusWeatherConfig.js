'use strict';

// The page's paging settings: how many rows a page shows (limit) and the
// position of the first row shown (offset). Both are kept as integers; they
// are parsed when set and again when read, because values come from form
// elements and table cells as text.

var DEFAULT_LIMIT = 20;
var DEFAULT_OFFSET = 0;

function ModbusWeatherConfig() {
  this.limit = DEFAULT_LIMIT;
  this.offset = DEFAULT_OFFSET;
}

ModbusWeatherConfig.prototype.getLimit = function () {
  return parseInt(this.limit, 10);
};

ModbusWeatherConfig.prototype.setLimit = function (limit) {
  this.limit = parseInt(limit, 10);
};

ModbusWeatherConfig.prototype.getOffset = function () {
  return parseInt(this.offset, 10);
};

ModbusWeatherConfig.prototype.setOffset = function (offset) {
  this.offset = parseInt(offset, 10);
};

module.exports = ModbusWeatherConfig;
