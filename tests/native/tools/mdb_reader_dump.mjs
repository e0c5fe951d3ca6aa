// Prints what the npm package mdb-reader, a reader independent of ours and of mdbtools,
// finds in an .mdb file, as one JSON object:
//   {"password": ..., "tables": [...], "columns": [...], "rows": [[...], ...]}
// Usage: node mdb_reader_dump.mjs <file.mdb> <table> [password]
// The package is looked up in the folders of NODE_PATH. Exit status 3: it is missing.
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join, delimiter } from "node:path";
import { pathToFileURL } from "node:url";

const [file, table, password] = process.argv.slice(2);
let entry = null;
for (const folder of (process.env.NODE_PATH || "").split(delimiter).filter(Boolean)) {
  try {
    entry = createRequire(join(folder, "resolve.js")).resolve("mdb-reader");
    break;
  } catch {
    // not in this folder
  }
}
if (entry === null) {
  console.error("mdb-reader is not installed");
  process.exit(3);
}
const { default: MDBReader } = await import(pathToFileURL(entry).href);
const options = password === undefined ? {} : { password };
const reader = new MDBReader(readFileSync(file), options);
const result = { password: reader.getPassword(), tables: reader.getTableNames() };
if (table !== undefined) {
  const t = reader.getTable(table);
  result.columns = t.getColumnNames();
  result.rows = t.getData().map((row) => result.columns.map((c) => row[c]));
}
process.stdout.write(JSON.stringify(result));
