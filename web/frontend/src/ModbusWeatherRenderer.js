'use strict';

// Draws the page and wires it up: finds the page's elements, binds their
// events, binds the row list and the version object with rivets, opens
// the write and add dialogs (popupS) and the alerts, and hands a searched
// code's history to the charts.

var rivets = require('rivets');
var popupS = require('popups');
var answer = require('./ModbusWeatherAnswer');
var ModbusWeatherChart = require('./ModbusWeatherChart');

var ENTER_KEY = 13;

function byId(id) {
  var element = document.getElementById(id);
  if (!element) {
    throw new Error('Page element #' + id + ' is missing');
  }
  return element;
}

function bySelector(selector) {
  var element = document.querySelector(selector);
  if (!element) {
    throw new Error('Page element ' + selector + ' is missing');
  }
  return element;
}

function onEach(selector, type, handler) {
  var elements = document.querySelectorAll(selector);
  for (var i = 0; i < elements.length; i++) {
    elements[i].addEventListener(type, handler, false);
  }
}

// The nearest element from start up to (not including) boundary that
// satisfies test, or null.
function closest(start, boundary, test) {
  for (var node = start; node && node !== boundary; node = node.parentNode) {
    if (node.nodeType === 1 && test(node)) {
      return node;
    }
  }
  return null;
}

// The value check of both dialogs: the text has to begin with a number.
function isNumber(text) {
  return !isNaN(parseFloat(text));
}

function inputValue(id) {
  return document.getElementById(id).value;
}

// popupS closes a dialog whenever its OK button is clicked. To keep the
// dialog open after a failed check, the click is stopped while it is still
// on its way down to the button (capture phase on the dialog's content).
// Called from a dialog's onOpen, where `this` is the open popup.
function guardSubmit(popup, check) {
  popup.$contentEl.addEventListener('click', function (event) {
    if (event.target === popup.$btnOK && !check()) {
      event.stopPropagation();
      event.preventDefault();
    }
  }, true);
}

function ModbusWeatherRenderer(config, code) {
  this.config = config;
  this.code = code;
  this.data = null;

  this.versionElement = byId('version');
  this.limitSelect = bySelector('select[name="limit"]');
  this.codeInput = bySelector('input[name="code"]');
  this.submitButton = byId('pollData');
  this.loadingElement = byId('loading');
  this.tableBody = byId('weather-body');
  this.addElement = byId('add');
  this.chart = new ModbusWeatherChart(byId('history'));

  // The row template is kept aside and put back into the empty table body
  // each time rows arrive; until then the body stays empty.
  this.rowTemplate = bySelector('#weather-body .modbus-row');
  this.tableBody.removeChild(this.rowTemplate);
  this.rowsView = null;

  this.versionModel = { version: null };
  this.bindVersion();
  this.bindEvents();
}

ModbusWeatherRenderer.prototype.setData = function (data) {
  this.data = data;
};

ModbusWeatherRenderer.prototype.bindVersion = function () {
  this.versionModel.version = answer.defaultVersion();
  rivets.bind(this.versionElement, this.versionModel);
};

// Runs an action of the data module once it has been handed over.
ModbusWeatherRenderer.prototype.withData = function (action) {
  if (this.data) {
    action(this.data);
  }
};

ModbusWeatherRenderer.prototype.bindEvents = function () {
  var self = this;

  self.limitSelect.addEventListener('change', function () {
    self.withData(function (data) {
      data.changeLimit(self.limitSelect.value);
    });
  }, false);

  onEach('.nav-prev', 'click', function () {
    self.withData(function (data) { data.previous(); });
  });
  onEach('.nav-next', 'click', function () {
    self.withData(function (data) { data.next(); });
  });
  onEach('.nav-home', 'click', function () {
    self.withData(function (data) { data.home(); });
  });

  self.submitButton.addEventListener('click', function (event) {
    event.preventDefault();
    self.submitCode();
  }, false);
  self.codeInput.addEventListener('keydown', function (event) {
    if (event.keyCode === ENTER_KEY || event.key === 'Enter') {
      event.preventDefault();
      self.submitCode();
    }
  }, false);

  // The rows are replaced on every answer, so their buttons are handled
  // where the clicks pass by: on the table body.
  self.tableBody.addEventListener('click', function (event) {
    var button = closest(event.target, self.tableBody, function (node) {
      return node.id === 'edit';
    });
    if (button) {
      var row = closest(button, self.tableBody, function (node) {
        return node.nodeName === 'TR';
      });
      if (row) {
        self.openWriteDialog(row);
      }
    }
  }, false);

  self.addElement.addEventListener('click', function () {
    self.openAddDialog();
  }, false);
};

ModbusWeatherRenderer.prototype.submitCode = function () {
  var self = this;
  self.code.enter(self.codeInput.value);
  if (!self.code.isValid()) {
    self.showAlert('Code entered was not valid');
    return;
  }
  self.withData(function (data) {
    data.search(self.code.getCode());
  });
};

function cellText(row, className) {
  var cell = row.querySelector('.' + className);
  return cell ? cell.textContent.trim() : '';
}

// The dialog writes the register word; a weather row also tells the reading
// that word stands for now.
ModbusWeatherRenderer.prototype.openWriteDialog = function (row) {
  var self = this;
  var offset = parseInt(cellText(row, 'modbus-modbusOffset'), 10);
  var currentValue = cellText(row, 'modbus-word');
  var reading = cellText(row, 'modbus-value');
  function valueIsNumber() {
    if (isNumber(inputValue('write-value'))) {
      return true;
    }
    self.showAlert('Value entered was not a number');
    return false;
  }
  popupS.confirm({
    title: 'Write Modbus Value at Offset',
    content: '<div class="wrapper">' +
      '<p>Modbus Offset: ' + offset + '</p>' +
      '<p class="write-reading"></p>' +
      '<label for="write-value">Value: </label>' +
      '<input type="text" id="write-value">' +
      '</div>',
    labelOk: 'Write',
    labelCancel: 'Cancel',
    onOpen: function () {
      // Set as properties, so the texts need no escaping as HTML.
      document.getElementById('write-value').value = currentValue;
      if (reading !== currentValue) {
        this.$contentEl.querySelector('.write-reading').textContent =
          'Register word, now shown as ' + reading;
      }
      guardSubmit(this, valueIsNumber);
    },
    onSubmit: function () {
      var value = inputValue('write-value');
      self.withData(function (data) {
        data.write(offset, value);
      });
    }
  });
};

ModbusWeatherRenderer.prototype.openAddDialog = function () {
  var self = this;
  function valueIsNumber() {
    if (isNumber(inputValue('add-value'))) {
      return true;
    }
    self.showAlert('Value entered was not a number');
    return false;
  }
  popupS.confirm({
    title: 'Create a new row',
    content: '<div class="wrapper">' +
      '<label for="add-name">Name: </label>' +
      '<input type="text" id="add-name"><br>' +
      '<label for="add-value">Value: </label>' +
      '<input type="text" id="add-value">' +
      '</div>',
    labelOk: 'Add Row',
    labelCancel: 'Cancel',
    onOpen: function () {
      guardSubmit(this, valueIsNumber);
    },
    onSubmit: function () {
      var name = inputValue('add-name');
      var value = inputValue('add-value');
      self.withData(function (data) {
        data.add(name, value);
      });
    }
  });
};

// --- what the data module tells the page ---

ModbusWeatherRenderer.prototype.setBusy = function (on) {
  if (on) {
    this.loadingElement.classList.add('loading');
  } else {
    this.loadingElement.classList.remove('loading');
  }
};

ModbusWeatherRenderer.prototype.showRows = function (rows) {
  if (this.rowsView) {
    this.rowsView.unbind();
  }
  while (this.tableBody.firstChild) {
    this.tableBody.removeChild(this.tableBody.firstChild);
  }
  this.tableBody.appendChild(this.rowTemplate.cloneNode(true));
  this.rowsView = rivets.bind(this.tableBody, { object: rows });
};

ModbusWeatherRenderer.prototype.showVersion = function (version) {
  this.versionModel.version = version;
};

ModbusWeatherRenderer.prototype.showHistory = function (history) {
  this.chart.show(history);
};

ModbusWeatherRenderer.prototype.showAlert = function (text) {
  window.alert(text);
};

module.exports = ModbusWeatherRenderer;
