'use strict';

// Sends the page's requests to the server and hands the answers to the view.
// Every request is a GET of the server's root with the parameters in the
// query string and the Accept header "application/json"; each one is wrapped
// in a promise.
//
// The view is the object that draws the page (the renderer); it is told:
//   setBusy(on)          a row request was sent / its answer arrived
//   showRows(rows)       rows to put in the table
//   showVersion(version) { major, minor, patch } for the version line
//   showAlert(text)      a message for the user
//   showHistory(history) the charts of a searched code (ModbusWeatherHistory),
//                        or null while they are being fetched

var Promise = require('promise');
var answer = require('./ModbusWeatherAnswer');
var history = require('./ModbusWeatherHistory');

var VERSION_ROWS = 3;

// The server answers without cross-origin headers, so the page asks the
// origin it was loaded from.
function pageOrigin() {
  if (typeof window !== 'undefined' && window.location) {
    return window.location.origin + '/';
  }
  return '/';
}

// Joins the parameters in the order they were added. Values are
// percent-encoded, since the server decodes them as forms are ('+' is a
// blank): a name typed as "a+b" or "x&y" must arrive as typed.
function queryString(params) {
  return Object.keys(params).map(function (key) {
    return key + '=' + encodeURIComponent(params[key]);
  }).join('&');
}

// Resolves with { status, body } once an answer arrived, whatever its
// status; rejects when no answer could be had.
function xhrGet(url) {
  return new Promise(function (resolve, reject) {
    var request = new XMLHttpRequest();
    request.open('GET', url, true);
    request.setRequestHeader('Accept', 'application/json');
    request.setRequestHeader('X-Veld-Request', 'page');
    request.onload = function () {
      resolve({ status: request.status, body: request.responseText });
    };
    request.onerror = function () {
      reject(new Error('Request failed: ' + url));
    };
    request.send();
  });
}

// config: the page's ModbusWeatherConfig; view: see above. options may give
// another base address or transport (a function from URL to a promise of
// { status, body }). Creating the object sends the two page-load requests.
function ModbusWeatherData(config, view, options) {
  var settings = options || {};
  this.config = config;
  this.view = view;
  this.baseAddress = settings.baseAddress || ModbusWeatherData.BASE_ADDRESS;
  this.transport = settings.transport || xhrGet;
  this.rows = [];
  this.loadPage(this.config.getOffset());
  this.loadVersion();
}

ModbusWeatherData.BASE_ADDRESS = pageOrigin();
ModbusWeatherData.queryString = queryString;

ModbusWeatherData.prototype.get = function (params) {
  return Promise.resolve(this.transport(this.baseAddress + '?' + queryString(params)));
};

// Sends a row request. With a follow-up, a good answer is not shown: the
// follow-up request is sent instead (an added row's follow-up gets its
// offset from the answer). Resolves with true once rows were shown.
ModbusWeatherData.prototype.requestRows = function (params, followUp) {
  var self = this;
  self.view.setBusy(true);
  return self.get(params).then(function (reply) {
    self.view.setBusy(false);
    var result = answer.decodeAnswer(reply.status, reply.body);
    if (result.error) {
      self.view.showAlert(answer.errorText(result.error));
      return false;
    }
    if (followUp) {
      if (!('offset' in followUp)) {
        followUp.offset = answer.followUpOffset(result.rows, followUp.limit);
      }
      return self.requestRows(followUp);
    }
    self.showRows(result.rows);
    return true;
  }, function () {
    self.view.setBusy(false);
    self.view.showAlert('Unknown Error');
    return false;
  });
};

// The current offset follows the first row shown, not the offset asked for.
ModbusWeatherData.prototype.showRows = function (rows) {
  this.rows = answer.transformRows(rows);
  if (rows.length > 0) {
    this.config.setOffset(answer.firstOffset(rows));
  }
  this.view.showRows(this.rows);
};

ModbusWeatherData.prototype.getRows = function () {
  return this.rows;
};

// The version rows are the first rows of the table; any answer with a row
// list (an error answer has none) replaces the version shown.
ModbusWeatherData.prototype.loadVersion = function () {
  var self = this;
  function show(body) {
    var version = answer.versionFromBody(body);
    if (version) {
      self.view.showVersion(version);
    }
  }
  return self.get({ limit: VERSION_ROWS, offset: 0 }).then(function (reply) {
    show(reply.body);
  }, function () {
    show('');
  });
};

ModbusWeatherData.prototype.loadPage = function (offset) {
  return this.requestRows({ limit: this.config.getLimit(), offset: offset });
};

ModbusWeatherData.prototype.changeLimit = function (limit) {
  this.config.setLimit(limit);
  return this.requestRows({ offset: this.config.getOffset(), limit: this.config.getLimit() });
};

ModbusWeatherData.prototype.previous = function () {
  var limit = this.config.getLimit();
  var offset = Math.max(this.config.getOffset() - limit, 0);
  return this.requestRows({ offset: offset, limit: limit });
};

ModbusWeatherData.prototype.next = function () {
  var limit = this.config.getLimit();
  return this.requestRows({ offset: this.config.getOffset() + limit, limit: limit });
};

ModbusWeatherData.prototype.home = function () {
  return this.requestRows({ offset: 0, limit: this.config.getLimit() });
};

// The server fetches the code's weather first and lists the rows whose code
// begins with it, from the first match on. Once the rows are shown, the
// code's history is asked for, so that it holds the readings just fetched.
ModbusWeatherData.prototype.search = function (code) {
  var self = this;
  self.view.showHistory(null);
  return self.requestRows({ limit: self.config.getLimit(), postal: code }).then(function (shown) {
    return shown ? self.loadHistory(code) : null;
  });
};

// Any answer, a missing route or a failed request included, ends in a
// history to show: charts, or a note saying why there are none.
ModbusWeatherData.prototype.loadHistory = function (code) {
  var self = this;
  var url = self.baseAddress + 'history?postal=' + encodeURIComponent(code) + '&hours=' + history.HOURS;
  return Promise.resolve(self.transport(url)).then(function (reply) {
    self.view.showHistory(history.decodeHistory(reply.status, reply.body, code));
  }, function () {
    self.view.showHistory(history.decodeHistory(0, '', code));
  });
};

ModbusWeatherData.prototype.write = function (modbusOffset, value) {
  return this.requestRows(
    { id: modbusOffset, value: value, action: 'write' },
    { offset: this.config.getOffset(), limit: this.config.getLimit() }
  );
};

// The follow-up's offset is filled in from the new row, so that the page
// shown ends at it.
ModbusWeatherData.prototype.add = function (name, value) {
  return this.requestRows(
    { name: name, value: value, action: 'add' },
    { limit: this.config.getLimit() }
  );
};

module.exports = ModbusWeatherData;
