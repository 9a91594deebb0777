// Times a report page in headless Chromium: from the start of the navigation
// to the end of its load event (the page's script has built the summary,
// the plots and the table by then), and a sort of the table by seconds.
// Usage: node time_page.js PAGE [RUNS]. Prints one JSON line per run.
"use strict";
const path = require("path");
const url = require("url");
const { openBrowser, evaluate, navigate } = require("./chromium");

async function main() {
  const page = url.pathToFileURL(path.resolve(process.argv[2])).href;
  const runs = Number(process.argv[3] || 5);
  for (let run = 0; run < runs; run++) {
    // A fresh browser each run: nothing cached from the run before.
    const session = await openBrowser();
    try {
      await session.send("Page.enable");
      await navigate(session, page);
      const timing = await evaluate(session, `new Promise((resolve) => setTimeout(() => {
        const n = performance.getEntriesByType("navigation")[0];
        const header = document.querySelector('#table-head [data-key="seconds"]');
        const start = performance.now();
        header.click();
        const sorted = performance.now() - start;
        resolve({ interactive: n.loadEventEnd / 1000, sort: sorted / 1000,
                  rows: document.getElementById("shown").textContent });
      }, 0))`);
      console.log(JSON.stringify(timing));
    } finally {
      await session.close();
    }
  }
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
