// Runs inside the game's own JavaScript before its main: what the page's
// address asks for goes into the game's environment, a recording it names is
// fetched into the page's file system, and the player's settings folder is
// filled from the browser's IndexedDB. main waits for all of it (run
// dependencies) and then for the page's first click (felidora-page.js).
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  var params = new URLSearchParams(window.location.search);

  // Every FELIDORA_... parameter as it is, e.g. FELIDORA_GL_FALLBACKS=1.
  params.forEach(function (value, name) {
    if (name.indexOf('FELIDORA_') === 0) ENV[name] = value;
  });

  // replay=NAME: a recording beside the page. Only a plain file name is
  // fetched; any other, or one that cannot be fetched, leaves the game to say
  // that it cannot open it.
  var replay = params.get('replay');
  if (replay !== null) {
    var folder = '/aufnahmen';
    var path = folder + '/' + replay.replace(/[\/\\]/g, '_');
    FS.mkdirTree(folder);
    ENV['FELIDORA_REPLAY'] = path;
    if (/^[A-Za-z0-9_-][A-Za-z0-9._-]*$/.test(replay)) {
      addRunDependency('felidora-replay');
      fetch(replay)
        .then(function (response) {
          if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
          return response.arrayBuffer();
        })
        .then(function (bytes) {
          FS.writeFile(path, new Uint8Array(bytes));
        })
        .catch(function (error) {
          err('Die Aufnahme ' + replay + ' konnte nicht geladen werden: ' + error.message);
        })
        .finally(function () {
          removeRunDependency('felidora-replay');
        });
    }
  } else if (!('FELIDORA_RECORD' in ENV)) {
    // A live game is recorded in the page's memory, so its end prints the
    // summary line a recording prints on the desktop.
    FS.mkdirTree('/aufnahmen');
    ENV['FELIDORA_RECORD'] = '/aufnahmen/spiel.rec';
  }

  // The settings folder the game names in the browser (settingsFolder() in
  // base/Platform.cpp), kept in IndexedDB; the game copies it out after each
  // save. Without IndexedDB (some private windows) the settings last for the
  // visit only.
  var settings = '/felidora';
  FS.mkdir(settings);
  FS.mount(IDBFS, {}, settings);
  addRunDependency('felidora-settings');
  FS.syncfs(true, function (error) {
    if (error) err('Die Einstellungen konnten nicht aus dem Browser gelesen werden: ' + error);
    removeRunDependency('felidora-settings');
  });
});

// The page resumes the sound on the player's clicks and keys: a browser keeps
// every AudioContext silent until the player has acted on the page.
Module['resumeSound'] = function () {
  if (typeof AL === 'undefined' || !AL.contexts) return;
  for (var id in AL.contexts) {
    var context = AL.contexts[id];
    if (context && context.audioCtx && context.audioCtx.state === 'suspended') context.audioCtx.resume();
  }
};
