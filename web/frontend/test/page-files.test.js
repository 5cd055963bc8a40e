'use strict';

var test = require('node:test');
var assert = require('node:assert/strict');
var fs = require('fs');
var path = require('path');

function read(name) {
  return fs.readFileSync(path.join(__dirname, '..', name), 'utf8');
}

test('the style sheet starts with the installed popupS rules', function () {
  var popupRules = fs.readFileSync(require.resolve('popups/css/popupS.css'), 'utf8').replace(/\r/g, '');
  var sheet = read('index.css');
  var start = sheet.indexOf('\n') + 1;
  assert.equal(sheet.slice(start, start + popupRules.length), popupRules);
  assert.ok(sheet.indexOf('.loading', start + popupRules.length) > 0);
});

test('the index page holds what the script looks up, script last', function () {
  var page = read('index.html');
  assert.ok(/^<!DOCTYPE html>\n/.test(page));
  assert.ok(page.indexOf('<meta name="viewport" content="width=device-width, initial-scale=1">') > 0);
  assert.ok(page.indexOf('<title>Ostrel Modbus Weather Server</title>') > 0);
  assert.ok(page.indexOf('<h3>Ostrel Modbus Weather Server</h3>') > 0);
  ['version', 'pollData', 'loading', 'weather', 'weather-head', 'weather-body', 'add', 'edit', 'history']
    .forEach(function (id) {
      assert.ok(page.indexOf('id="' + id + '"') > 0, id);
    });
  ['select name="limit"', 'input type="text" name="code"', 'rv-each-object="object"',
    'Version: {version.major}.{version.minor}.{version.patch}', 'class="modbus-word"', 'class="history-charts"',
    'class="history-note"', 'class="history-code"'].forEach(function (text) {
    assert.ok(page.indexOf(text) > 0, text);
  });
  assert.ok(/<script src="index\.js"><\/script>\s*<\/body>\s*<\/html>\s*$/.test(page));
});
