'use strict';

// Reads the server's JSON answers: tells good row lists from error objects,
// turns rows into what the table shows, builds the version object and works
// out the offset of the request that follows an added row.

var moment = require('moment');
var readingScale = require('./ReadingScale');

var PDU_BASE = 40001;
var APU_BASE = 400001;
var DATE_FORMAT = 'DD-MMM-YYYY HH:mm:ss';

// Shown until a version answer arrives, and kept when none can be read.
var DEFAULT_VERSION = { major: '0', minor: '0', patch: '3' };

var UNDECODABLE = { code: 99, message: 'Unable to decode response' };
// An answer carrying an "Error Code" member is reported under this code.
var ERROR_CODE_MEMBER_CODE = 4;

function parseJson(text) {
  try {
    return { ok: true, value: JSON.parse(text) };
  } catch (e) {
    return { ok: false };
  }
}

function isObject(value) {
  return value !== null && typeof value === 'object';
}

function hasMember(object, name) {
  return Object.prototype.hasOwnProperty.call(object, name);
}

// Row texts are numbers written as JSON strings; a missing or non-numeric
// one counts as 0, as the server's own HTML view counts it.
function toInteger(text) {
  var number = parseInt(text, 10);
  return isNaN(number) ? 0 : number;
}

function decodeError(parsed) {
  if (!parsed.ok || !isObject(parsed.value)) {
    return UNDECODABLE;
  }
  var answer = parsed.value;
  if (hasMember(answer, 'Error Code')) {
    return { code: ERROR_CODE_MEMBER_CODE, message: String(answer['Error Code']) };
  }
  if (hasMember(answer, 'errorCode')) {
    return { code: answer.errorCode, message: answer.errorMessage };
  }
  return UNDECODABLE;
}

// Returns { rows: [...] } for a good answer (status 200, a JSON array without
// an errorCode member) and { error: { code, message } } for anything else.
function decodeAnswer(status, body) {
  var parsed = parseJson(body);
  var good = status === 200 && parsed.ok && isObject(parsed.value) &&
    !hasMember(parsed.value, 'errorCode');
  if (!good) {
    return { error: decodeError(parsed) };
  }
  if (!Array.isArray(parsed.value)) {
    return { error: UNDECODABLE };
  }
  return { rows: parsed.value };
}

function errorText(error) {
  return 'Error [' + error.code + '] ' + error.message;
}

// Adds the two Modbus addresses of the row's register and the reading its
// word stands for (Reading; the word itself stays in Value), and shows
// LastUpdated (seconds since 1970 UTC) as a local date and time.
function transformRow(row) {
  var shown = {};
  Object.keys(row).forEach(function (name) {
    shown[name] = row[name];
  });
  var offset = toInteger(row.ModbusOffset);
  shown.PDU = offset + PDU_BASE;
  shown.APU = offset + APU_BASE;
  shown.Reading = readingScale.shownValue(row.Code, row.Name, hasMember(row, 'Value') ? row.Value : '');
  if (hasMember(row, 'LastUpdated')) {
    shown.LastUpdated = moment.unix(toInteger(row.LastUpdated)).format(DATE_FORMAT);
  }
  return shown;
}

function transformRows(rows) {
  return rows.map(transformRow);
}

function firstOffset(rows) {
  return toInteger(rows[0].ModbusOffset);
}

// After a row is added, the page that ends at the new row is shown: it
// starts limit - 1 rows before it.
function followUpOffset(rows, limit) {
  return firstOffset(rows) - parseInt(limit, 10) + 1;
}

// Builds { major, minor, patch } from rows named like "app.version.major":
// the third dot-separated part of each name is the member, Value its value.
// Returns null when the body holds no row list.
function versionFromBody(body) {
  if (!body) {
    return null;
  }
  var parsed = parseJson(body);
  if (!parsed.ok || !Array.isArray(parsed.value)) {
    return null;
  }
  var version = {};
  parsed.value.forEach(function (row) {
    var parts = isObject(row) && typeof row.Name === 'string' ? row.Name.split('.') : [];
    if (parts.length >= 3) {
      version[parts[2]] = row.Value;
    }
  });
  return version;
}

function defaultVersion() {
  return {
    major: DEFAULT_VERSION.major,
    minor: DEFAULT_VERSION.minor,
    patch: DEFAULT_VERSION.patch
  };
}

module.exports = {
  DATE_FORMAT: DATE_FORMAT,
  decodeAnswer: decodeAnswer,
  errorText: errorText,
  transformRow: transformRow,
  transformRows: transformRows,
  firstOffset: firstOffset,
  followUpOffset: followUpOffset,
  versionFromBody: versionFromBody,
  defaultVersion: defaultVersion
};
