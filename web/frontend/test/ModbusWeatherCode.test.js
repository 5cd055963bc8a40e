'use strict';

var test = require('node:test');
var assert = require('node:assert/strict');
var ModbusWeatherCode = require('../src/ModbusWeatherCode');

function entered(text) {
  var code = new ModbusWeatherCode();
  code.enter(text);
  return code;
}

test('a five-digit zip code is valid', function () {
  assert.equal(entered('90001').isValid(), true);
});

test('a postal code is upper-cased and valid', function () {
  var code = entered('v1l');
  assert.equal(code.getCode(), 'V1L');
  assert.equal(code.isValid(), true);
  assert.equal(entered('V1L3A5').isValid(), true);
});

test('codes of other lengths or shapes are invalid', function () {
  ['9000', '9000A', '123456', 'ABC', '1A2', 'V1L3A', 'V1L3A5X'].forEach(function (text) {
    assert.equal(entered(text).isValid(), false, text);
  });
});

test('blanks around the entry are dropped', function () {
  var code = entered('  v1l3a5 ');
  assert.equal(code.getCode(), 'V1L3A5');
  assert.equal(code.isValid(), true);
});

test('an empty entry keeps the stored code and the previous code', function () {
  var code = entered('90001');
  code.enter('v1l');
  code.enter('   ');
  code.enter('');
  assert.equal(code.getCode(), 'V1L');
  assert.equal(code.getPreviousCode(), '90001');
});

test('the codes start as 0, which is not valid', function () {
  var code = new ModbusWeatherCode();
  code.enter('');
  assert.equal(code.getCode(), 0);
  assert.equal(code.getPreviousCode(), 0);
  assert.equal(code.isValid(), false);
});
