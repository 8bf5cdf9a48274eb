// The page's side of the program (webservices.cpp): the buttons' presses, queued for the
// program to take; its waits' time-outs; the beep; the service worker. Nothing here
// calls into the program while it runs: a call made while a forecast sleeps would lose that
// forecast. The program takes the presses itself, when its pending wait has been woken.
"use strict";

var Ostavel = (() => {
  const labels = [];  // the label elements by the number of their label, 1 to 9
  const presses = [];  // the buttons pressed and not yet taken, by their number
  let wake = null;  // ends the pending wait
  let audio = null, tones = 0;  // tones still sounding

  // Each wait's time-out is set twice: on the page's own timer, the more punctual, and on a
  // Web Worker's, which goes on on time in a hidden tab, where the page's fire about once a
  // second. The first to fire ends the wait.
  const worker = new Worker(URL.createObjectURL(new Blob(
    ["onmessage = e => setTimeout(() => postMessage(e.data.id), e.data.ms);"],
    {type: "text/javascript"})));
  let timer = 0, serial = 0;  // the pending wait's time-out, and the last one set
  const fired = id => {
    if (id === timer && wake) wake();
  };
  worker.onmessage = e => fired(e.data);

  // A page may sound only after a gesture: the first press makes the audio context. It takes
  // from a few to some hundreds of milliseconds to open the sound system, so it is made as the
  // press begins (pointer or key down), before the press itself starts a forecast.
  function openAudio() {
    if (!audio && window.AudioContext) {
      audio = new AudioContext();
      audio.suspend();
    }
  }

  function press(button) {
    openAudio();
    presses.push(button);
    if (wake) wake();
  }

  function announce() {
    const numbers = labels.slice(1, 7).map(label => label.textContent).filter(text => text);
    document.getElementById("numbers").textContent = numbers.join(" ");
  }

  function setUp() {
    for (let label = 1; label <= 9; ++label) labels[label] = document.getElementById("Label" + label);
    for (const kind of ["pointerdown", "keydown"]) addEventListener(kind, openAudio, true);
    for (const button of document.querySelectorAll("button[data-button]")) {
      const number = Number(button.dataset.button);
      button.addEventListener("click", () => press(number));
      // Enter and the keypad's Enter press the button once per press, as Space does; a held
      // key's repeats press nothing.
      button.addEventListener("keydown", e => {
        if (e.key !== "Enter" || e.ctrlKey || e.altKey || e.shiftKey || e.metaKey) return;
        e.preventDefault();
        if (!e.repeat) press(number);
      });
    }
    if ("serviceWorker" in navigator) {
      // Asked on every visit whether a new version is out, which then replaces this one.
      navigator.serviceWorker.register("sw.js").then(registration => registration.update());
      // The picture came before the service worker took the page over: once more through it,
      // for it to keep.
      navigator.serviceWorker.addEventListener("controllerchange", () => {
        fetch(document.getElementById("picture").currentSrc);
      });
    }
  }
  if (document.readyState === "loading") {
    document.addEventListener("DOMContentLoaded", setUp);
  } else {
    setUp();
  }

  return {
    setCaption(label, text) {
      labels[label].textContent = text;
    },
    takePress() {
      return presses.length ? presses.shift() : -1;
    },
    sleep(ms) {
      return new Promise(resolve => {
        wake = () => {
          wake = null;
          timer = 0;
          resolve();
        };
        if (presses.length) {
          wake();
        } else if (ms >= 0) {
          const id = timer = ++serial;
          setTimeout(() => fired(id), ms);
          worker.postMessage({id, ms});
        }
      });
    },
    beep() {
      announce();
      if (!audio) return;
      audio.resume();
      const tone = audio.createOscillator();
      const gain = audio.createGain();
      tone.frequency.value = 880;
      gain.gain.value = 0.2;
      tone.connect(gain).connect(audio.destination);
      ++tones;
      tone.onended = () => {
        if (--tones === 0) audio.suspend();
      };
      tone.start();
      tone.stop(audio.currentTime + 0.12);
    },
  };
})();

Module.onAbort = what => {
  Ostavel.aborted = String(what);
};
