// The page's storage (linked with --pre-js): the player's data folder, where
// the game saves its records, is backed by IndexedDB, so a record outlives
// the tab. The game starts only once what an earlier visit saved is back in
// the folder; src/platform/web_backend.cpp asks for keepRecords() after every
// save. A browser that refuses storage (private browsing) keeps the records
// for this visit only, and the caption says so once.
Module.preRun = [].concat(Module.preRun || [], function () {
  var folder = '/saved';  // PageDataHome in src/platform/web_backend.h
  var refused = false;
  function refuse() {
    if (refused) return;
    refused = true;
    if (Module.say) Module.say('This browser keeps no data for the page: records last until it is closed.');
  }
  Module.keepRecords = function () {
    if (!refused) FS.syncfs(false, function (error) { if (error) refuse(); });
  };
  FS.mkdir(folder);
  try {
    FS.mount(IDBFS, {}, folder);
  } catch (e) {
    refuse();
    return;
  }
  addRunDependency('saved records');
  FS.syncfs(true, function (error) {
    if (error) refuse();
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
