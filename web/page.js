// The page around the game: the canvas's size, the caption, what the
// address asks for, and starting again after the game's quit button.
//
// Address parameters (each one the desktop option of the same name):
//   ?display=MODE   the emulated display memory, as --display
//   ?tick-start=N   the tick counter's first value, the deal's seed
//   ?mute           no sound from the page
// and one for replaying a page's game on the desktop (tests/web/):
//   ?record         the run is kept as a desktop recording, each frame's
//                   length included: Module.recording()
(function () {
  'use strict';
  var params = new URLSearchParams(location.search);
  var canvas = document.getElementById('screen');
  var caption = document.getElementById('caption');
  var note = document.getElementById('note');
  var again = document.getElementById('again');

  // The largest whole factor that fits the window, as the desktop window
  // scales; a phone narrower than 480 CSS pixels gets its full width.
  function fit() {
    var width = document.documentElement.clientWidth;
    var height = window.innerHeight - caption.offsetHeight - 8;
    var scale = Math.min(width / 240, height / 320);
    if (width >= 480) scale = Math.max(1, Math.floor(scale));
    canvas.style.width = 240 * scale + 'px';
    canvas.style.height = 320 * scale + 'px';
  }
  window.addEventListener('resize', fit);
  fit();

  var args = [];
  ['display', 'tick-start'].forEach(function (name) {
    if (params.has(name)) args.push('--' + name + '=' + params.get(name));
  });
  // A handheld's tick counter has run for a while when the game starts.
  if (!params.has('tick-start')) args.push('--tick-start=' + (Date.now() >>> 0));
  if (params.has('mute')) args.push('--mute');
  if (params.has('record')) args.push('--record=/tmp/quillmoth-run.txt');

  function say(text) {
    note.textContent = text;
    fit();
  }

  window.Module = {
    arguments: args,
    canvas: canvas,
    say: say,
    gameOver: function () { again.style.display = 'flex'; },
    onAbort: function (what) { say('The game stopped: ' + what); },
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
  };
  again.addEventListener('click', function () { location.reload(); });

  if ('serviceWorker' in navigator) navigator.serviceWorker.register('service-worker.js');
})();
