'use strict';
// Loads the viewer's vector and matrix classes as the page carries them:
// each text joined into one line the way the page writer joins it.
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');

const viewerDir = path.join(__dirname, '..', '..', 'page', 'viewer');

function joinLines(text) {
  return text
    .split('\n')
    .map((line) => line.replace(/ +(?= |$)/g, ''))
    .join('');
}

function loadViewerClasses() {
  const context = vm.createContext({});
  for (const name of ['ZEMVector.js', 'ZEMMat.js']) {
    const text = fs.readFileSync(path.join(viewerDir, name), 'utf8');
    vm.runInContext(joinLines(text), context, { filename: name });
  }
  return { ZEMVector: context.ZEMVector, ZEMMat: context.ZEMMat };
}

module.exports = { loadViewerClasses, joinLines };
