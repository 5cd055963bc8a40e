'use strict';

// Drives the served page in a headless Chromium (Debian's /usr/bin/chromium,
// through playwright-core) against a running server, and checks what a user
// sees: a standards-mode page that fits 1280 and 390 px wide, the version line
// and the seeded rows, paging, the limit selection, postal searches with their
// history charts (each as wide as its card and drawing its readings, checked
// in a window that has not been resized since the charts were drawn, at 1280
// and at 390 px), weather words shown as readings, the write and add dialogs
// and the error past the last page.
//
//   VELD_WEB_URL=http://127.0.0.1:8080 VELD_SCREENSHOT=/tmp/page.png \
//     node test-browser/page-in-browser.js
//
// VELD_WEB_URL      the server's web root (default http://127.0.0.1:8080)
// VELD_SCREENSHOT   where to save a screenshot of the page at the end
//                   (optional); the page at 1280 and 390 px wide, with its
//                   charts, is saved beside it as page-1280.png and page-390.png
// VELD_POSTAL       a postal code for which the server lists rows (default V1L)
// VELD_CHROMIUM     the browser to launch (default /usr/bin/chromium)
//
// The server's table must hold the 20 seeded info rows and more rows after
// them (the test adds one row and writes into it), and the server must keep
// the history of the postal codes it fetched. Prints one line per check
// and "N passed, N failed" at the end; exits 1 when a check failed.

var chromium = require('playwright-core').chromium;
var assert = require('node:assert/strict');
var path = require('path');

var BASE = (process.env.VELD_WEB_URL || 'http://127.0.0.1:8080').replace(/\/*$/, '/');
var SCREENSHOT = process.env.VELD_SCREENSHOT || '';
var POSTAL = process.env.VELD_POSTAL || 'V1L';
var BROWSER = process.env.VELD_CHROMIUM || '/usr/bin/chromium';
var WAIT_MS = 10000;

var INFO_NAMES = ['app.version.major', 'app.version.minor', 'app.version.patch',
  'app.message.recv.count', 'app.message.sent.count'];
for (var spare = 0; spare < 15; spare++) {
  INFO_NAMES.push('app.spare.' + spare);
}
var DATE_SHOWN = /^\d{2}-[A-Z][a-z]{2}-\d{4} \d{2}:\d{2}:\d{2}$/;
var WIDE = { width: 1280, height: 800 };
var PHONE = { width: 390, height: 844 };
var CHARTED = ['temp', 'humidity', 'pressure', 'wind.speed'];

var browser;
var page;
var alerts = [];
var queries = [];

function sleep(ms) {
  return new Promise(function (resolve) { setTimeout(resolve, ms); });
}

// Polls check() until it returns without throwing, for at most WAIT_MS.
async function until(check) {
  var started = Date.now();
  for (;;) {
    try {
      return await check();
    } catch (e) {
      if (Date.now() - started > WAIT_MS) {
        throw e;
      }
      await sleep(50);
    }
  }
}

// The table as the user sees it: one object per row, from the cells' texts
// (value is the shown reading, word the register word).
function tableRows() {
  return page.$$eval('#weather-body tr.modbus-row', function (trs) {
    return trs.map(function (tr) {
      var c = Array.prototype.map.call(tr.cells, function (td) { return td.textContent.trim(); });
      return { code: c[0], lastUpdated: c[1], name: c[2], value: c[3], word: c[4], offset: +c[5],
        pdu: +c[6], apu: +c[7], edit: c[8] };
    });
  });
}

// The last query of a row request (a search is followed by its history's).
function lastRowQuery() {
  var rows = queries.filter(function (query) { return query.indexOf('history?') !== 0; });
  return rows[rows.length - 1];
}

async function firstOffset() {
  var rows = await tableRows();
  return rows.length ? rows[0].offset : -1;
}

async function expectAlert(text) {
  await until(function () {
    assert.ok(alerts.indexOf(text) !== -1, 'alert "' + text + '" not shown; alerts: ' + JSON.stringify(alerts));
  });
  alerts = [];
}

async function tableStartsAt(offset, count) {
  await until(async function () {
    var rows = await tableRows();
    assert.equal(rows.length ? rows[0].offset : -1, offset);
    if (count !== undefined) {
      assert.equal(rows.length, count);
    }
  });
}

// Every row of the table, straight from the server's JSON view.
async function allRows() {
  var reply = await fetch(BASE + '?limit=-1&offset=0', { headers: { Accept: 'application/json' } });
  return reply.json();
}

async function click(selector) {
  await page.locator(selector).first().click();
}

async function setLimit(limit) {
  await page.selectOption('select[name="limit"]', String(limit));
}

async function search(code) {
  await page.fill('input[name="code"]', code);
  await click('#pollData');
}

// How far the page reaches past the window's right edge, and the Edit
// buttons that do (after scrolling each into view, as a user would).
function sideways() {
  return page.evaluate(function () {
    var root = document.documentElement;
    var outside = Array.prototype.filter.call(document.querySelectorAll('#weather-body #edit'), function (button) {
      button.scrollIntoView({ block: 'nearest', inline: 'nearest' });
      var box = button.getBoundingClientRect();
      return box.left < 0 || box.right > root.clientWidth || box.width === 0;
    });
    return { overflow: root.scrollWidth - root.clientWidth, editOutside: outside.length };
  });
}

// What each chart shows where the user sees it: its card's content width,
// its canvas's width, and the pixels in a strong colour (the series' line
// and points; grid, axes and text are grey) inside the part of the plotting
// area that its card does not clip: how many, and how far across the
// plotting area the leftmost and rightmost of them lie (0 to 1).
function chartsShown(on) {
  return on.$$eval('#history .history-chart', function (figures) {
    function intersect(a, b) {
      var left = Math.max(a.left, b.left);
      var top = Math.max(a.top, b.top);
      return { left: left, top: top, right: Math.min(a.right, b.right), bottom: Math.min(a.bottom, b.bottom) };
    }
    return figures.map(function (figure) {
      var style = getComputedStyle(figure);
      var card = figure.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
      var canvas = figure.querySelector('canvas');
      var area = figure.querySelector('.u-over');
      var shown = { reading: figure.getAttribute('data-reading'), card: card, canvas: -1, inked: 0 };
      if (!canvas || !area || canvas.width === 0 || canvas.height === 0) {
        return shown;
      }
      var box = canvas.getBoundingClientRect();
      var plot = area.getBoundingClientRect();
      var seen = intersect(intersect(box, plot), figure.querySelector('.history-plot').getBoundingClientRect());
      shown.canvas = box.width;
      var scale = canvas.width / box.width;
      var x0 = Math.max(0, Math.floor((seen.left - box.left) * scale));
      var y0 = Math.max(0, Math.floor((seen.top - box.top) * scale));
      var x1 = Math.min(canvas.width, Math.ceil((seen.right - box.left) * scale));
      var y1 = Math.min(canvas.height, Math.ceil((seen.bottom - box.top) * scale));
      if (x1 <= x0 || y1 <= y0) {
        return shown;
      }
      var pixels = canvas.getContext('2d').getImageData(x0, y0, x1 - x0, y1 - y0).data;
      var left = Infinity;
      var right = -Infinity;
      for (var i = 0; i < pixels.length; i += 4) {
        var r = pixels[i];
        var g = pixels[i + 1];
        var b = pixels[i + 2];
        if (pixels[i + 3] > 128 && Math.max(r, g, b) - Math.min(r, g, b) > 60) {
          var x = x0 + (i / 4) % (x1 - x0);
          shown.inked++;
          left = Math.min(left, x);
          right = Math.max(right, x);
        }
      }
      var plotLeft = (plot.left - box.left) * scale;
      shown.from = (left - plotLeft) / (plot.width * scale);
      shown.to = (right - plotLeft) / (plot.width * scale);
      return shown;
    });
  });
}

// Every chart is as wide as its card, and its readings are drawn inside
// what the card shows, not pressed against either end of the time axis.
async function chartsFitTheirCards(on) {
  var charts = await chartsShown(on);
  assert.deepEqual(charts.map(function (c) { return c.reading; }), CHARTED,
    'note: ' + (await on.textContent('#history .history-note')));
  charts.forEach(function (c) {
    var seen = JSON.stringify(c);
    assert.ok(Math.abs(c.canvas - c.card) <= 2, c.reading + ': canvas as wide as its card: ' + seen);
    assert.ok(c.inked > 20, c.reading + ': line or points drawn where the card shows them: ' + seen);
    assert.ok(c.from < 0.75 && c.to > 0.25, c.reading + ': readings not at one end of the time axis: ' + seen);
  });
}

function screenshotBeside(suffix) {
  if (!SCREENSHOT) {
    return Promise.resolve();
  }
  var file = path.join(path.dirname(SCREENSHOT), path.basename(SCREENSHOT, '.png') + '-' + suffix + '.png');
  console.log('# screenshot: ' + file);
  // What a user sees at this window size, from the top: a full-page
  // screenshot would resize the window and hide a chart that only a resize
  // draws.
  return page.evaluate(function () { window.scrollTo(0, 0); })
    .then(function () { return page.screenshot({ path: file }); });
}

var checks = [];
function check(name, run) {
  checks.push({ name: name, run: run });
}

check('the page is in standards mode with a device-width viewport', async function () {
  assert.equal(await page.evaluate(function () { return document.compatMode; }), 'CSS1Compat');
  assert.match(await page.getAttribute('meta[name="viewport"]', 'content'), /width=device-width/);
});

check('the version line reads Version: 0.0.5', async function () {
  await until(async function () {
    assert.equal((await page.textContent('#version')).trim(), 'Version: 0.0.5');
  });
});

check('the first 20 rows are the seeded info rows', async function () {
  await tableStartsAt(0, 20);
  var rows = await tableRows();
  rows.forEach(function (row, i) {
    assert.equal(row.code, '0');
    assert.equal(row.name, INFO_NAMES[i]);
    assert.equal(row.offset, i);
    assert.equal(row.pdu, 40001 + i);
    assert.equal(row.apu, 400001 + i);
    assert.match(row.lastUpdated, DATE_SHOWN);
    assert.equal(row.edit, 'Edit Value');
    assert.equal(row.value, row.word, 'an info row shows its word');
  });
  assert.deepEqual(rows.slice(0, 3).map(function (row) { return row.value; }), ['0', '0', '5']);
  assert.ok(queries.indexOf('limit=20&offset=0') !== -1, 'page-load query: ' + queries);
  assert.ok(queries.indexOf('limit=3&offset=0') !== -1, 'version query: ' + queries);
});

check('Next, Previous and Home page through the table', async function () {
  await click('.navigation .nav-next');
  await tableStartsAt(20);
  await click('.navigation >> nth=1 >> .nav-prev');
  await tableStartsAt(0, 20);
  await click('.navigation >> nth=1 >> .nav-next');
  await tableStartsAt(20);
  await click('.navigation .nav-home');
  await tableStartsAt(0, 20);
});

check('the limit selection sets the page length', async function () {
  var total = (await allRows()).length;
  await setLimit(50);
  await tableStartsAt(0, Math.min(50, total));
  assert.equal(lastRowQuery(), 'offset=0&limit=50');
  await setLimit(20);
  await tableStartsAt(0, 20);
});

check('invalid codes are refused without a request', async function () {
  var sent = queries.length;
  var codes = ['9000', '9000A', '123456', 'V1'];
  for (var i = 0; i < codes.length; i++) {
    await page.fill('input[name="code"]', codes[i]);
    await click('#pollData');
    await expectAlert('Code entered was not valid');
  }
  assert.equal(queries.length, sent);
});

check('a postal search lists the rows of that code', async function () {
  await page.fill('input[name="code"]', '  ' + POSTAL.toLowerCase() + ' ');
  await click('#pollData');
  await until(async function () {
    var rows = await tableRows();
    assert.ok(rows.length > 0);
    rows.forEach(function (row) {
      assert.equal(row.code.toUpperCase().indexOf(POSTAL.toUpperCase()), 0, row.code);
    });
  });
  assert.equal(lastRowQuery(), 'limit=20&postal=' + POSTAL.toUpperCase());
  await page.fill('input[name="code"]', '90001');
  await page.press('input[name="code"]', 'Enter');
  await until(function () {
    assert.equal(lastRowQuery(), 'limit=20&postal=90001');
  });
  await sleep(500);
  alerts = [];
  await click('.navigation .nav-home');
  await tableStartsAt(0, 20);
});

check('a postal search draws the code\'s last 24 hours, one chart per reading', async function () {
  await search(POSTAL);
  await until(async function () {
    assert.equal((await page.textContent('#history .history-code')).trim(), POSTAL.toUpperCase());
    await chartsFitTheirCards(page);
  });
  assert.ok(queries.indexOf('history?postal=' + POSTAL.toUpperCase() + '&hours=24') !== -1, queries.join(' '));
});

check('on a phone from the start, the charts fit their cards and show the readings', async function () {
  var phone = await browser.newPage({ viewport: PHONE });
  try {
    phone.setDefaultTimeout(WAIT_MS);
    await phone.goto(BASE);
    await phone.fill('input[name="code"]', POSTAL);
    await phone.click('#pollData');
    await until(function () {
      return chartsFitTheirCards(phone);
    });
  } finally {
    await phone.close();
  }
});

check('weather rows show readings; a temp word written as 65366 reads -17.0 \u00B0C', async function () {
  await setLimit(50);
  await search('90001');
  var temp;
  await until(async function () {
    var rows = (await tableRows()).filter(function (row) { return row.code === '90001'; });
    var units = { humidity: / %$/, pressure: /^\d+ hPa$/, 'wind.speed': /^\d+\.\d m\/s$/, temp: /^-?\d+\.\d \u00B0C$/ };
    Object.keys(units).forEach(function (name) {
      var row = rows.filter(function (r) { return r.name === name; })[0];
      assert.ok(row, name + ' row of 90001 shown');
      assert.match(row.value, units[name]);
    });
    temp = rows.filter(function (r) { return r.name === 'temp'; })[0];
  });
  await page.locator('#weather-body tr.modbus-row', { hasText: '90001' }).filter({ hasText: 'temp' })
    .locator('#edit').click();
  await until(async function () {
    assert.equal(await page.inputValue('#write-value'), temp.word);
    assert.equal((await page.textContent('.write-reading')).trim(), 'Register word, now shown as ' + temp.value);
  });
  await page.fill('#write-value', '65366');
  await page.click('#popupS-button-ok');
  await until(async function () {
    var row = (await tableRows()).filter(function (r) { return r.offset === temp.offset; })[0];
    assert.deepEqual([row.word, row.value], ['65366', '-17.0 \u00B0C']);
  });
  await setLimit(20);
});

check('the page fits 1280 and 390 px without scrolling sideways; Edit stays in reach', async function () {
  await page.setViewportSize(WIDE);
  await until(async function () {
    assert.deepEqual(await sideways(), { overflow: 0, editOutside: 0 });
  });
  await screenshotBeside(String(WIDE.width));
  await page.setViewportSize(PHONE);
  try {
    await until(async function () {
      assert.deepEqual(await sideways(), { overflow: 0, editOutside: 0 });
      var plot = await page.locator('#history .history-plot').first().boundingBox();
      assert.ok(plot && plot.x >= 0 && plot.x + plot.width <= PHONE.width, 'chart inside the window');
      await chartsFitTheirCards(page);
    });
    await screenshotBeside(String(PHONE.width));
    await page.locator('#weather-body tr.modbus-row').last().locator('#edit').click();
    var write = await page.locator('#popupS-button-ok').boundingBox();
    assert.ok(write && write.x >= 0 && write.x + write.width <= PHONE.width, 'Write button inside the window');
    await page.click('#popupS-button-cancel');
    await until(async function () {
      assert.equal(await page.locator('#write-value').count(), 0);
    });
  } finally {
    await page.setViewportSize(WIDE);
  }
});

check('the add dialog adds a row shown as the last row of the page', async function () {
  var name = 'browser.test.' + Date.now();
  await click('#add');
  await until(async function () {
    assert.equal((await page.textContent('.popupS-title')).trim(), 'Create a new row');
  });
  await page.fill('#add-name', name);
  await page.fill('#add-value', 'x17');
  await page.click('button:has-text("Add Row") >> nth=-1');
  await expectAlert('Value entered was not a number');
  await page.fill('#add-value', '17');
  await page.click('#popupS-button-ok');
  await until(async function () {
    var rows = await tableRows();
    var last = rows[rows.length - 1];
    assert.equal(rows.length, 20);
    assert.equal(last.name, name);
    assert.equal(last.value, '17');
    assert.equal(last.code, '0');
    assert.equal(rows[0].offset, last.offset - 19);
  });
});

check('the edit dialog writes a value that the table then shows', async function () {
  var before = await tableRows();
  var target = before[before.length - 1];
  await page.locator('#weather-body tr.modbus-row').last().locator('#edit').click();
  await until(async function () {
    assert.equal((await page.textContent('.popupS-title')).trim(), 'Write Modbus Value at Offset');
    assert.match(await page.textContent('.popupS-content'), new RegExp('Modbus Offset: ' + target.offset + '(?!\\d)'));
    assert.equal(await page.inputValue('#write-value'), target.value);
  });
  await page.fill('#write-value', 'abc');
  await page.click('#popupS-button-ok');
  await expectAlert('Value entered was not a number');
  assert.equal(await page.isVisible('#write-value'), true);
  await page.fill('#write-value', '42');
  await page.click('#popupS-button-ok');
  await until(async function () {
    var rows = await tableRows();
    assert.equal(rows[rows.length - 1].offset, target.offset);
    assert.equal(rows[rows.length - 1].value, '42');
    assert.equal(rows[0].offset, before[0].offset);
  });
  assert.ok(queries.indexOf('id=' + target.offset + '&value=42&action=write') !== -1, queries.join(' '));
});

check('Cancel closes the edit dialog without a request', async function () {
  var sent = queries.length;
  await page.locator('#weather-body tr.modbus-row').first().locator('#edit').click();
  await page.click('#popupS-button-cancel');
  await until(async function () {
    assert.equal(await page.locator('#write-value').count(), 0);
  });
  assert.equal(queries.length, sent);
});

check('Next past the last page shows Error [400] No results', async function () {
  await click('.navigation .nav-home');
  await tableStartsAt(0, 20);
  var total = (await allRows()).length;
  for (var page_ = 0; page_ <= Math.ceil(total / 20) + 1 && alerts.length === 0; page_++) {
    var offset = await firstOffset();
    await click('.navigation .nav-next');
    await until(async function () {
      assert.ok(alerts.length > 0 || (await firstOffset()) !== offset);
    });
  }
  await expectAlert('Error [400] No results');
  assert.ok((await tableRows()).length > 0, 'the table keeps its rows');
});

async function main() {
  browser = await chromium.launch({
    executablePath: BROWSER,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run']
  });
  var passed = 0;
  var failed = 0;
  try {
    page = await browser.newPage({ viewport: WIDE });
    page.setDefaultTimeout(WAIT_MS);
    page.on('dialog', function (dialog) {
      alerts.push(dialog.message());
      dialog.accept().catch(function () {});
    });
    page.on('request', function (request) {
      var url = request.url();
      // The page's own requests: the root's query, or history?... .
      if (url.indexOf(BASE) === 0 && request.headers().accept === 'application/json') {
        queries.push(url.slice(BASE.length).replace(/^\?/, ''));
      }
    });
    page.on('pageerror', function (error) {
      console.log('# page error: ' + error.message);
    });
    await page.goto(BASE);
    for (var i = 0; i < checks.length; i++) {
      try {
        await checks[i].run();
        passed++;
        console.log('ok ' + (i + 1) + ' - ' + checks[i].name);
      } catch (e) {
        failed++;
        console.log('not ok ' + (i + 1) + ' - ' + checks[i].name);
        console.log('  ' + String(e && e.message).split('\n').join('\n  '));
        alerts = [];
        // Close a dialog left open, so that the next check can click.
        await page.keyboard.press('Escape').catch(function () {});
      }
    }
    if (SCREENSHOT) {
      await page.screenshot({ path: SCREENSHOT, fullPage: true });
      console.log('# screenshot: ' + SCREENSHOT);
    }
  } finally {
    await browser.close();
  }
  console.log(passed + ' passed, ' + failed + ' failed');
  process.exitCode = failed === 0 ? 0 : 1;
}

main().catch(function (e) {
  console.error(e);
  process.exitCode = 1;
});
