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

  // Faces from the player's pictures. Each chosen file, in name order, is
  // decoded by the browser (a phone photo turned as it was taken), its
  // middle square drawn small, and its pixels handed to the game's face
  // maker (src/platform/web/page_faces.cpp), which keeps the face in the
  // records' folder; up to 40 faces, one picture a turn so that the game
  // and the page stay live. The game reads the deck at its start: the page
  // is reloaded once IndexedDB holds it.
  var FACES = 40;
  // The face maker keeps four picture pixels a face pixel (30 x 30): more
  // is never read, so a big photo is not copied whole into the game.
  var DRAWN = 120;
  var NOTE_KEY = 'quillmoth-deck-note';
  var chooser = document.getElementById('pictures');
  var yours = document.getElementById('yours');
  var ours = document.getElementById('ours');
  var busy = false;

  function pause() {
    return new Promise(function (done) { setTimeout(done, 0); });
  }

  // Whatever the game wrote, the deck included, reaches IndexedDB; then the
  // page starts again, with the note kept for after the reload.
  function restart(text) {
    try { sessionStorage.setItem(NOTE_KEY, text); } catch (e) {}
    say(text);
    FS.syncfs(false, function (error) {
      if (error) {
        busy = false;
        say(text + ' The browser keeps no data for the page: the faces cannot be kept.');
        return;
      }
      location.reload();
    });
  }

  // The pixels of the middle square of `file`, at most DRAWN a side; null
  // when the browser cannot decode it.
  async function squareOf(file) {
    var picture;
    try {
      picture = await createImageBitmap(file, {imageOrientation: 'from-image'});
    } catch (e) {
      return null;
    }
    var whole = Math.min(picture.width, picture.height);
    var side = Math.max(1, Math.min(DRAWN, whole));
    var canvas = document.createElement('canvas');
    canvas.width = canvas.height = side;
    var context = canvas.getContext('2d', {willReadFrequently: true});
    context.imageSmoothingEnabled = true;
    context.imageSmoothingQuality = 'high';
    context.drawImage(picture, (picture.width - whole) / 2, (picture.height - whole) / 2,
                      whole, whole, 0, 0, side, side);
    picture.close();
    return context.getImageData(0, 0, side, side);
  }

  async function makeDeck(files) {
    files.sort(function (a, b) { return a.name < b.name ? -1 : a.name > b.name ? 1 : 0; });
    var skipped = [], made = 0, buffer = 0, bytes = 0;
    if (!Module._quillmoth_faces_begin()) {
      busy = false;
      say('The faces cannot be kept: the records\' folder is not there.');
      return;
    }
    // The browser decodes off the page's thread: the next picture decodes
    // while this one is made into a face. Not more at once: a phone holds
    // each decoded photo whole, 48 MB for 12 megapixels.
    var decoding = [];
    for (var i = 0; i < files.length && made < FACES; ++i) {
      say('Making faces: ' + (i + 1) + ' of ' + files.length);
      await pause();
      for (var k = i; k < i + 2 && k < files.length; ++k) {
        if (!decoding[k]) decoding[k] = squareOf(files[k]);
      }
      var pixels = await decoding[i];
      decoding[i] = null;
      if (!pixels) {
        skipped.push(files[i].name + ': not a picture');
        continue;
      }
      if (pixels.data.length > bytes) {
        if (buffer) Module._free(buffer);
        bytes = pixels.data.length;
        buffer = Module._malloc(bytes);
      }
      // HEAPU8 is looked up after malloc: a growing memory makes it anew.
      Module.HEAPU8.set(pixels.data, buffer);
      if (Module._quillmoth_faces_add(buffer, pixels.width, pixels.height, made + 1)) {
        ++made;
      } else {
        skipped.push(files[i].name + ': its face could not be kept');
      }
    }
    if (buffer) Module._free(buffer);
    var skips = skipped.length ? ' Skipped ' + skipped.join('; ') + '.' : '';
    if (!made) {
      Module._quillmoth_faces_end(0);
      busy = false;
      say('No faces from these files: the deck stays as it was.' + skips);
      return;
    }
    Module._quillmoth_faces_end(1);
    restart(made + ' of the ' + FACES + ' faces from your pictures' +
            (made < FACES ? ', ours for the rest.' : '.') + skips);
  }

  yours.addEventListener('click', function () {
    if (!busy) chooser.click();
  });
  chooser.addEventListener('change', function () {
    var files = Array.from(chooser.files);
    chooser.value = '';
    if (busy || !files.length || !Module._quillmoth_faces_begin) return;
    busy = true;
    makeDeck(files);
  });
  ours.addEventListener('click', function () {
    if (busy || !Module._quillmoth_faces_forget) return;
    busy = true;
    Module._quillmoth_faces_forget();
    restart('Our faces again.');
  });

  window.Module = {
    arguments: args,
    canvas: canvas,
    say: say,
    gameOver: function () { again.style.display = 'flex'; },
    // Told at the game's start how many faces of the player's it plays with.
    deckInUse: function (faces) {
      Module.deckFaces = faces;
      ours.hidden = !faces;
      fit();
    },
    onAbort: function (what) { say('The game stopped: ' + what); },
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
  };
  again.addEventListener('click', function () { location.reload(); });
  // What the making of a deck said before the page started again.
  try {
    var kept = sessionStorage.getItem(NOTE_KEY);
    if (kept) {
      sessionStorage.removeItem(NOTE_KEY);
      say(kept);
    }
  } catch (e) {}

  if ('serviceWorker' in navigator) navigator.serviceWorker.register('service-worker.js');
})();
