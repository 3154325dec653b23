// The page's half of the web backend (src/platform/web/web_backend.cpp): the
// canvas, pointer and visibility events, Web Audio effects, the clock and the
// frame's pause. Linked with --js-library.
mergeInto(LibraryManager.library, {
  $QuillmothPage: {
    input: [],       // [kind, x, y] waiting for the game: see PageInput
    context: null,   // the canvas's 2D context, made at the first picture
    image: null,     // an ImageData over the game's own picture, in its memory
    audio: null,     // the AudioContext, made at the first effect or touch
    allowed: false,  // the browser has let the audio context run
    sounds: {},      // path -> AudioBuffer, or null while it decodes
    voices: [],      // effects playing, oldest first: {source}
    quiet: 0,        // the timer that rests the audio context after the last effect
    rest: null,      // what that timer runs
    pauseData: 0,    // where ASYNCIFY keeps the game's stack during a pause
    wake: null,      // ends the pause: winds the game's stack back
  },

  quillmoth_page_clock: function () {
    return performance.now();
  },

  // The frame's pause, once a frame: one browser timer, and nothing for the
  // browser to do until it fires. ASYNCIFY unwinds the game's stack here and
  // winds it back when the timer fires, as emscripten_sleep would; done by
  // hand so that the 33 pauses a second allocate nothing: the area the stack
  // is kept in is made once, and so is the timer's function.
  quillmoth_page_pause__deps: ['$QuillmothPage', '$Asyncify', '$callUserCallback', 'malloc'],
  quillmoth_page_pause: function (milliseconds) {
    var page = QuillmothPage;
    // A function between main and here that ASYNCIFY left alone runs on
    // while the stack unwinds, into the next pause: stop at once rather
    // than run the game wrong (the list is in web/web.cmake).
    if (Asyncify.state === Asyncify.State.Unwinding) abort('the frame pause did not unwind');
    if (Asyncify.state === Asyncify.State.Rewinding) {
      // Wound back into this call: the pause is over, the frame goes on.
      Asyncify.state = Asyncify.State.Normal;
      Module['_asyncify_stop_rewind']();
      Asyncify.currData = null;
      return;
    }
    if (!page.pauseData) {
      page.pauseData = _malloc(12 + Asyncify.StackSize);
      var rewind = function () {
        Asyncify.state = Asyncify.State.Rewinding;
        Module['_asyncify_start_rewind'](page.pauseData);
        Asyncify.doRewind(page.pauseData);
      };
      page.wake = function () { callUserCallback(rewind); };
    }
    Asyncify.setDataHeader(page.pauseData, page.pauseData + 12, Asyncify.StackSize);
    Asyncify.setDataRewindFunc(page.pauseData);
    Asyncify.currData = page.pauseData;
    Asyncify.state = Asyncify.State.Unwinding;
    Module['_asyncify_start_unwind'](page.pauseData);
    setTimeout(page.wake, milliseconds);
  },

  // A fault the player must hear of: a line in the page's caption.
  quillmoth_page_say: function (text) {
    if (Module.say) Module.say(UTF8ToString(text));
  },

  // Touch, mouse and pen all arrive as pointer events. Like the desktop
  // window, only the primary mouse button is a stylus, a mouse moving with
  // no button held is none, and a point off the picture touches nothing.
  // The int at `hidden` is kept 1 while the page is hidden, 0 while shown.
  quillmoth_page_listen__deps: ['$QuillmothPage', '$QuillmothUnlockAudio', '$QuillmothHush'],
  quillmoth_page_listen: function (hidden) {
    var page = QuillmothPage;
    var canvas = Module.canvas;
    function post(kind, event) {
      var box = canvas.getBoundingClientRect();
      var x = Math.floor((event.clientX - box.left) * 240 / box.width);
      var y = Math.floor((event.clientY - box.top) * 320 / box.height);
      if (x >= 0 && x < 240 && y >= 0 && y < 320) page.input.push([kind, x, y]);
    }
    canvas.addEventListener('pointerdown', function (event) {
      QuillmothUnlockAudio();
      if (event.button !== 0) return;
      event.preventDefault();
      canvas.setPointerCapture(event.pointerId);
      post(0, event);
    });
    canvas.addEventListener('pointermove', function (event) {
      if (event.buttons & 1) post(1, event);
    });
    canvas.addEventListener('pointerup', function (event) {
      QuillmothUnlockAudio();
      if (event.button === 0) post(2, event);
    });
    // Nobody hears a hidden page: its sound stops, and Web Audio rests.
    document.addEventListener('visibilitychange', function () {
      HEAP32[hidden >> 2] = document.hidden ? 1 : 0;
      page.input.push([document.hidden ? 3 : 4, 0, 0]);
      if (document.hidden) QuillmothHush();
    });
    HEAP32[hidden >> 2] = document.hidden ? 1 : 0;
  },

  quillmoth_page_take_input__deps: ['$QuillmothPage'],
  quillmoth_page_take_input: function (event) {
    var next = QuillmothPage.input.shift();
    if (!next) return 0;
    HEAP32.set(next, event >> 2);
    return 1;
  },

  // Puts the rectangle of the picture that changed on the canvas. The
  // picture lives in the game's memory (240 x 320 pixels of red, green,
  // blue, alpha at `rgba`); the ImageData is a view of it, made once, so a
  // frame copies nothing here and allocates nothing.
  quillmoth_page_show__deps: ['$QuillmothPage'],
  quillmoth_page_show: function (rgba, left, top, width, height) {
    var page = QuillmothPage;
    if (!page.context) {
      // Opaque, and desynchronized: the canvas's pictures go to the screen
      // without waiting for a frame of the page around it, which has nothing
      // else that moves. That spares the browser a whole page frame for
      // every picture.
      page.context = Module.canvas.getContext('2d', {alpha: false, desynchronized: true});
      Module.firstFrameMs = performance.now();
      console.log('quillmoth: first frame ' + Math.round(Module.firstFrameMs) +
                  ' ms after navigation');
    }
    // A view made before the memory grew sees nothing: make it again.
    if (!page.image || page.image.data.buffer !== HEAPU8.buffer) {
      page.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, 240 * 320 * 4),
                                 240, 320);
    }
    page.context.putImageData(page.image, 0, 0, left, top, width, height);
  },

  // Browsers start sound only after the person touches the page: the first
  // pointer down or up wakes the audio context (so the title's start-up
  // chime, asked for before that, is not heard). A touch also wakes a
  // context at rest, for the effect it is likely to make.
  $QuillmothUnlockAudio__deps: ['$QuillmothPage', '$QuillmothAudio', '$QuillmothRest'],
  $QuillmothUnlockAudio: function () {
    var audio = QuillmothAudio();
    if (!audio || audio.state === 'running' || document.hidden) return;
    audio.resume();
    QuillmothRest();
  },

  $QuillmothAudio__deps: ['$QuillmothPage'],
  $QuillmothAudio: function () {
    var page = QuillmothPage;
    if (!page.audio) {
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return null;
      page.audio = new Context();
      page.audio.onstatechange = function () {
        if (page.audio.state === 'running') page.allowed = true;
      };
    }
    return page.audio;
  },

  // A running audio context costs the machine as much with nothing to play
  // as with an effect: two seconds after the last effect ends it rests
  // (suspended), and the next effect wakes it.
  $QuillmothRest__deps: ['$QuillmothPage'],
  $QuillmothRest: function () {
    var page = QuillmothPage;
    clearTimeout(page.quiet);
    if (!page.rest) {
      page.rest = function () {
        if (!page.voices.length && page.audio && page.audio.state === 'running') {
          page.audio.suspend();
        }
      };
    }
    page.quiet = setTimeout(page.rest, 2000);
  },

  // Stops every effect and rests the audio context: the page is hidden.
  $QuillmothHush__deps: ['$QuillmothPage'],
  $QuillmothHush: function () {
    var page = QuillmothPage;
    clearTimeout(page.quiet);
    page.voices.splice(0).forEach(function (voice) {
      voice.source.onended = null;
      voice.source.stop();
    });
    if (page.audio && page.audio.state === 'running') page.audio.suspend();
  },

  // Each effect is decoded once; the first request for one decodes every
  // effect in its folder, so the rest are ready when the game asks.
  $QuillmothDecodeFolder__deps: ['$QuillmothPage', '$QuillmothAudio'],
  $QuillmothDecodeFolder: function (path) {
    var page = QuillmothPage;
    var folder = path.substring(0, path.lastIndexOf('/') + 1);
    var names = [];
    try {
      names = FS.readdir(folder).filter(function (name) { return /\.wav$/i.test(name); });
    } catch (e) {}
    names.map(function (name) { return folder + name; }).concat([path]).forEach(function (file) {
      if (file in page.sounds) return;
      page.sounds[file] = null;
      var bytes;
      try {
        bytes = FS.readFile(file);
      } catch (e) {
        delete page.sounds[file];
        return;
      }
      QuillmothAudio().decodeAudioData(bytes.slice().buffer).then(function (buffer) {
        page.sounds[file] = buffer;
      }, function () {});
    });
  },

  // Up to four effects sound at once, as on the desktop. With all four
  // busy, a "no stop" request (every effect of the game) is dropped; any
  // other takes the place of the oldest. An effect not decoded yet, or asked
  // for before sound was allowed, is not heard; nor is one a hidden page
  // asks for, which costs nothing.
  quillmoth_page_play_sound__deps: ['$QuillmothPage', '$QuillmothAudio', '$QuillmothDecodeFolder',
                                    '$QuillmothRest'],
  quillmoth_page_play_sound: function (pathPointer, noStop) {
    var page = QuillmothPage;
    if (document.hidden) return 1;
    var audio = QuillmothAudio();
    if (!audio) return 1;
    var path = UTF8ToString(pathPointer);
    if (!(path in page.sounds)) QuillmothDecodeFolder(path);
    var buffer = page.sounds[path];
    if (audio.state === 'running') page.allowed = true;
    if (!buffer || !page.allowed) return 1;
    if (page.voices.length >= 4) {
      if (noStop) return 0;
      var oldest = page.voices.shift();
      oldest.source.onended = null;
      oldest.source.stop();
    }
    // A context at rest starts the effect as soon as it is awake.
    if (audio.state !== 'running') audio.resume();
    clearTimeout(page.quiet);
    var source = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    var voice = {source: source};
    Module.effectsPlayed = (Module.effectsPlayed || 0) + 1;
    source.onended = function () {
      page.voices.splice(page.voices.indexOf(voice), 1);
      if (!page.voices.length) QuillmothRest();
    };
    page.voices.push(voice);
    source.start();
    return 1;
  },

  quillmoth_page_frame_ended: function (frames) {
    Module.framesRun = frames;
  },

  // The game forces every save to disk (fsync), and a failed flush is how it
  // learns that a save did not happen: it then keeps the records in memory,
  // tells the player, and tries again at the next record. In the page the
  // disk is IndexedDB, so this flush copies the player's folder there and the
  // game waits (ASYNCIFY) for IndexedDB's answer. Emscripten's own fsync
  // cannot be used: it answers success when the copy fails, and waits
  // forever when IndexedDB aborts the write at commit, which is how a full
  // storage quota shows.
  fd_sync__sig: 'ii',
  fd_sync__deps: ['$FS', '$IDBFS', '$QuillmothKeepFolder'],
  fd_sync: function (fd) {
    var stream = FS.getStream(fd);
    if (!stream) return {{{ cDefine('EBADF') }}};
    var mount = stream.node.mount;
    // Anywhere else the files live in memory only: there is nothing to keep.
    if (mount.type !== IDBFS) return 0;
    return Asyncify.handleSleep(function (wakeUp) {
      QuillmothKeepFolder(mount, function (kept) {
        wakeUp(kept ? 0 : {{{ cDefine('EIO') }}});
      });
    });
  },

  // Makes the IndexedDB copy of an IDBFS folder equal to the folder, in one
  // transaction: either all of it is written or none of it, so a refused
  // write leaves the copy the last save made. `done(true)` once IndexedDB has
  // committed it, `done(false)` if anything refused it (no IndexedDB, a
  // thrown put, an aborted transaction) or it has not answered in ten
  // seconds: a game frozen in a save is worse than a record said to be lost.
  // The entries are the ones IDBFS writes, so the next visit's
  // FS.syncfs(true) in web/storage.js reads them back.
  $QuillmothKeepFolder__deps: ['$IDBFS'],
  $QuillmothKeepFolder: function (mount, done) {
    var folder = mount.mountpoint;
    var answered = false;
    var timer = setTimeout(function () { answer(false); }, 10000);
    function answer(kept) {
      if (answered) return;
      answered = true;
      clearTimeout(timer);
      done(kept);
    }
    IDBFS.getDB(folder, function (error, db) {
      // IDBFS reports some failures to open with no error and no database.
      if (error || !db) return answer(false);
      var entries = {};
      var local = null;
      IDBFS.getLocalSet(mount, function (failed, set) { local = failed ? null : set; });
      if (!local) return answer(false);
      var unreadable = Object.keys(local.entries).some(function (path) {
        var read = null;
        IDBFS.loadLocalEntry(path, function (failed, entry) { read = failed ? null : entry; });
        entries[path] = read;
        return !read;
      });
      if (unreadable) return answer(false);
      var transaction = null;
      try {
        transaction = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
        transaction.oncomplete = function () { answer(true); };
        transaction.onabort = function () { answer(false); };
        var store = transaction.objectStore(IDBFS.DB_STORE_NAME);
        // What is no longer in the folder goes from the copy too.
        store.clear();
        Object.keys(entries).forEach(function (path) { store.put(entries[path], path); });
      } catch (e) {
        // A connection the browser has closed (its storage cleared) is
        // opened afresh at the next save.
        if (e && e.name === 'InvalidStateError') delete IDBFS.dbs[folder];
        try {
          if (transaction) transaction.abort();
        } catch (ignored) {
        }
        answer(false);
      }
    });
  },
});
