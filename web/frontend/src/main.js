'use strict';

// Starts the page: the settings, the code, the renderer (which finds the
// page's elements and binds their events) and the data module (which sends
// the page-load requests), then hands the data module to the renderer.

var ModbusWeatherConfig = require('./ModbusWeatherConfig');
var ModbusWeatherCode = require('./ModbusWeatherCode');
var ModbusWeatherData = require('./ModbusWeatherData');
var ModbusWeatherRenderer = require('./ModbusWeatherRenderer');

try {
  var config = new ModbusWeatherConfig();
  var renderer = new ModbusWeatherRenderer(config, new ModbusWeatherCode());
  var data = new ModbusWeatherData(config, renderer);
  renderer.setData(data);
} catch (e) {
  console.error(e);
  window.alert(e && e.message ? e.message : String(e));
}
