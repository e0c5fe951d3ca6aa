// Prints what the npm package mdb-reader, a reader independent of ours and of mdbtools,
// finds in an .mdb file. Line 1: {"password": ..., "tables": [...]} as JSON; with a
// table name, line 2 holds its column names and every further line one row, each a JSON
// array.
// Usage: node mdb_reader_dump.mjs <file.mdb> [table [password]]
// The package is looked up in the folders of NODE_PATH; exit status 3 when it is missing.
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
const reader = new MDBReader(readFileSync(file), password === undefined ? {} : { password });
const lines = [JSON.stringify({ password: reader.getPassword(), tables: reader.getTableNames() })];
if (table !== undefined) {
  const t = reader.getTable(table);
  const columns = t.getColumnNames();
  lines.push(JSON.stringify(columns));
  for (const row of t.getData()) lines.push(JSON.stringify(columns.map((c) => row[c])));
}
process.stdout.write(lines.join("\n") + "\n");
