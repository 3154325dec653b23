// The page's storage (linked with --pre-js): the player's data folder, where
// the game saves its records, is backed by IndexedDB, so a record outlives
// the tab. The game starts only once what an earlier visit saved is back in
// the folder. Every save reaches IndexedDB at once: the game forces its new
// records file and then the folder to disk, and the page answers each of
// those flushes by copying the folder to IndexedDB, the game waiting until
// IndexedDB has committed it (fd_sync in web/host_library.js). When
// IndexedDB refuses the write (storage full, or taken away mid-game), the
// flush fails as a full disk's would: the game keeps its records in memory,
// says in the caption that they cannot be saved, and tries again at the
// next record. A browser that refuses storage from the start (private
// browsing) is named in the caption at once; its flushes fail the same way.
Module.preRun = [].concat(Module.preRun || [], function () {
  var folder = '/saved';  // PageDataHome in src/platform/web/web_backend.h
  function refused() {
    if (Module.say) {
      Module.say('This browser keeps no data for the page: records last until it is closed.');
    }
  }
  FS.mkdir(folder);
  try {
    FS.mount(IDBFS, {}, folder);
  } catch (e) {
    refused();
    return;
  }
  addRunDependency('saved records');
  FS.syncfs(true, function (error) {
    if (error) refused();
    removeRunDependency('saved records');
  });
});

// With ?record the page writes the run as a desktop script (the desktop's
// --record); this returns it, with the frames run so far, for replaying the
// same game in a headless desktop run.
Module.recording = function () {
  var path = (Module.arguments || []).filter(function (a) { return /^--record=/.test(a); })[0];
  return {
    script: path ? FS.readFile(path.substring(9), {encoding: 'utf8'}) : '',
    frames: Module.framesRun || 0,
  };
};
