// The page's half of the web backend (src/platform/web_backend.cpp): the
// canvas, pointer and visibility events, Web Audio effects and the clock.
// Linked with --js-library.
mergeInto(LibraryManager.library, {
  $QuillmothPage: {
    input: [],       // [kind, x, y] waiting for the game: see PageInput
    image: null,     // the canvas's ImageData, reused every frame
    audio: null,     // the AudioContext, made at the first effect or touch
    sounds: {},      // path -> AudioBuffer, or null while it decodes
    voices: [],      // effects playing, oldest first: {source}
  },

  quillmoth_page_clock: function () {
    return performance.now();
  },

  // A fault the player must hear of: a line in the page's caption.
  quillmoth_page_say: function (text) {
    if (Module.say) Module.say(UTF8ToString(text));
  },

  // Touch, mouse and pen all arrive as pointer events. Like the desktop
  // window, only the primary mouse button is a stylus, a mouse moving with
  // no button held is none, and a point off the picture touches nothing.
  quillmoth_page_listen__deps: ['$QuillmothPage', '$QuillmothUnlockAudio'],
  quillmoth_page_listen: function () {
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
    document.addEventListener('visibilitychange', function () {
      page.input.push([document.hidden ? 3 : 4, 0, 0]);
    });
  },

  quillmoth_page_take_input__deps: ['$QuillmothPage'],
  quillmoth_page_take_input: function (event) {
    var next = QuillmothPage.input.shift();
    if (!next) return 0;
    HEAP32.set(next, event >> 2);
    return 1;
  },

  quillmoth_page_show__deps: ['$QuillmothPage'],
  quillmoth_page_show: function (rgba) {
    var page = QuillmothPage;
    if (!page.image) {
      page.context = Module.canvas.getContext('2d');
      page.image = page.context.createImageData(240, 320);
      Module.firstFrameMs = performance.now();
      console.log('quillmoth: first frame ' + Math.round(Module.firstFrameMs) +
                  ' ms after navigation');
    }
    page.image.data.set(HEAPU8.subarray(rgba, rgba + 240 * 320 * 4));
    page.context.putImageData(page.image, 0, 0);
  },

  // Browsers start sound only after the person touches the page: the first
  // pointer down or up wakes the audio context (so the title's start-up
  // chime, asked for before that, is not heard).
  $QuillmothUnlockAudio__deps: ['$QuillmothPage', '$QuillmothAudio'],
  $QuillmothUnlockAudio: function () {
    var audio = QuillmothAudio();
    if (audio && audio.state === 'suspended') audio.resume();
  },

  $QuillmothAudio__deps: ['$QuillmothPage'],
  $QuillmothAudio: function () {
    var page = QuillmothPage;
    if (!page.audio) {
      var Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return null;
      page.audio = new Context();
    }
    return page.audio;
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
  // for before sound was allowed, is not heard.
  quillmoth_page_play_sound__deps: ['$QuillmothPage', '$QuillmothAudio', '$QuillmothDecodeFolder'],
  quillmoth_page_play_sound: function (pathPointer, noStop) {
    var page = QuillmothPage;
    var audio = QuillmothAudio();
    if (!audio) return 1;
    var path = UTF8ToString(pathPointer);
    if (!(path in page.sounds)) QuillmothDecodeFolder(path);
    var buffer = page.sounds[path];
    if (!buffer || audio.state !== 'running') return 1;
    if (page.voices.length >= 4) {
      if (noStop) return 0;
      var oldest = page.voices.shift();
      oldest.source.onended = null;
      oldest.source.stop();
    }
    var source = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    var voice = {source: source};
    Module.effectsPlayed = (Module.effectsPlayed || 0) + 1;
    source.onended = function () {
      page.voices.splice(page.voices.indexOf(voice), 1);
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
