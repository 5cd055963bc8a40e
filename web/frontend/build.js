'use strict';

// Builds the page's three assets into one folder (../assets by default):
//   index.html  copied from this folder
//   index.css   this folder's index.css followed by the installed uPlot
//               package's style sheet (the charts' layout and legend)
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
var COPIED = ['index.html'];
var CHART_CSS = 'uplot/dist/uPlot.min.css';

function fail(message) {
  console.error('build: ' + message);
  process.exit(1);
}

var outDir = path.resolve(process.argv[2] || path.join(HERE, '..', 'assets'));
fs.mkdirSync(outDir, { recursive: true });

COPIED.forEach(function (name) {
  fs.copyFileSync(path.join(HERE, name), path.join(outDir, name));
});

// The page's own rules use longer selectors (.history-chart .u-legend) where
// they change a chart rule, so the library's sheet can come last.
function styleSheet() {
  var chartVersion = require('uplot/package.json').version;
  var chartRules = fs.readFileSync(require.resolve(CHART_CSS), 'utf8').replace(/\r/g, '').trim();
  return fs.readFileSync(path.join(HERE, 'index.css'), 'utf8') +
    '\n/* Charts: the rules of the uPlot library (uplot ' + chartVersion + ', dist/uPlot.min.css, MIT licence). */\n' +
    chartRules + '\n';
}
fs.writeFileSync(path.join(outDir, 'index.css'), styleSheet());

process.chdir(HERE);
// uPlot's CommonJS build requires nothing, and it uses syntax (??=) newer
// than browserify's parser reads: it is wrapped as it stands, unparsed.
var UNPARSED = [require.resolve('uplot')];

browserify(ENTRY, { basedir: HERE, debug: false, noParse: UNPARSED }).bundle(function (err, bundle) {
  if (err) {
    fail(err.message);
  }
  fs.writeFileSync(path.join(outDir, 'index.js'), bundle);
  COPIED.concat('index.css', 'index.js').forEach(function (name) {
    var size = fs.statSync(path.join(outDir, name)).size;
    console.log('build: ' + path.join(outDir, name) + ' (' + size + ' bytes)');
  });
});
