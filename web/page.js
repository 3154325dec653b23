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

  // The picture's size. The caption goes beside the picture when the window
  // has room for the picture at its full height and for the caption's column
  // on either side (a laptop, a phone held sideways); else under it. In the
  // room left, the picture takes the largest whole factor, as the desktop
  // window scales, unless that leaves more than a quarter of the height
  // unused, or not even 1x fits, or the window is a phone narrower than 480
  // CSS pixels: then it takes all the room it can, at a fractional scale.
  // The pixels stay crisp squares either way (index.html's style).
  var CLEARANCE = 48, COLUMN = 120;  // the caption beside the picture, as in index.html
  function fit() {
    var width = document.documentElement.clientWidth;
    var height = window.innerHeight;
    var side = CLEARANCE + COLUMN;
    var beside = width - 2 * side >= height * 240 / 320;
    document.body.classList.toggle('beside', beside);
    caption.style.marginBottom = '';
    var roomWidth = beside ? width - 2 * side : width;
    var roomHeight = beside ? height : height - caption.offsetHeight;
    var largest = Math.max(0, Math.min(roomWidth / 240, roomHeight / 320));
    var scale = Math.floor(largest);
    if (width < 480 || scale < 1 || roomHeight - 320 * scale > roomHeight / 4) scale = largest;
    canvas.style.width = 240 * scale + 'px';
    canvas.style.height = 320 * scale + 'px';
    // Beside the picture, the caption ends level with the picture's foot.
    if (beside) caption.style.marginBottom = (height - 320 * scale) / 2 + 'px';
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
