#!/usr/bin/env node
// Checks glTF files with the Khronos glTF Validator: prints one summary line
// per file ("<path>: N errors, N warnings, N infos") and every error and
// warning under it. Exit status 0 when no file has an error or a warning,
// 1 otherwise, 2 when a file cannot be read.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    maxIssues: 0,
    externalResourceFunction: (uri) =>
      new Promise((resolve, reject) => {
        fs.readFile(path.resolve(path.dirname(file), decodeURIComponent(uri)), (err, data) =>
          err ? reject(err.toString()) : resolve(new Uint8Array(data)));
      }),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
              `${issues.numInfos} infos`);
  for (const message of issues.messages) {
    if (message.severity <= 1) {
      console.log(`  ${message.severity === 0 ? 'error' : 'warning'} ${message.code} ` +
                  `${message.pointer || ''}: ${message.message}`);
    }
  }
  return issues.numErrors === 0 && issues.numWarnings === 0;
}

(async () => {
  const files = process.argv.slice(2);
  if (files.length === 0) {
    console.error('usage: validate.js FILE.glb...');
    process.exit(2);
  }
  let clean = true;
  for (const file of files) {
    try {
      clean = (await validate(file)) && clean;
    } catch (error) {
      console.log(`${file}: cannot be validated: ${error}`);
      process.exit(2);
    }
  }
  process.exit(clean ? 0 : 1);
})();
