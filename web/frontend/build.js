'use strict';

// Builds the page's three assets into one folder (../assets by default):
//   index.html  copied from this folder
//   index.css   copied from this folder
//   index.js    src/main.js and everything it requires, bundled by browserify
//
// The bundle must come out byte for byte the same on every machine and in
// every checkout folder: browserify numbers the modules and keeps only the
// require() texts of the sources, so nothing of the absolute path or the
// time of the build ends up in it as long as the entry is given relative to
// this folder and no debug (source map) output is asked for.

var fs = require('fs');
var path = require('path');
var browserify = require('browserify');

var HERE = __dirname;
var ENTRY = './src/main.js';
var COPIED = ['index.html', 'index.css'];

function fail(message) {
  console.error('build: ' + message);
  process.exit(1);
}

var outDir = path.resolve(process.argv[2] || path.join(HERE, '..', 'assets'));
fs.mkdirSync(outDir, { recursive: true });

COPIED.forEach(function (name) {
  fs.copyFileSync(path.join(HERE, name), path.join(outDir, name));
});

process.chdir(HERE);
browserify(ENTRY, { basedir: HERE, debug: false }).bundle(function (err, bundle) {
  if (err) {
    fail(err.message);
  }
  fs.writeFileSync(path.join(outDir, 'index.js'), bundle);
  COPIED.concat('index.js').forEach(function (name) {
    var size = fs.statSync(path.join(outDir, name)).size;
    console.log('build: ' + path.join(outDir, name) + ' (' + size + ' bytes)');
  });
});
