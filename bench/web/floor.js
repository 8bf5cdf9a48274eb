// The floor of the page's benchmark: the same page without the program, where a press of a
// game button writes the captions that the program wrote at the same moments, from plain
// timers. The timeline is the benchmark's, in window.floorTimeline: [ms from the press,
// label element's id, text].
"use strict";

for (const button of document.querySelectorAll("button[data-button]")) {
  button.addEventListener("click", () => {
    for (const [at, id, text] of window.floorTimeline || []) {
      setTimeout(() => {
        document.getElementById(id).textContent = text;
      }, at);
    }
  });
}
