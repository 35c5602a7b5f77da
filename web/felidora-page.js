// The page around the game. Its state is document.body.dataset.state:
//   loading   the game and its content are being fetched
//   ready     all is there: a click on the page, or a key, starts the game
//   running   the game plays in the canvas
//   ended     the game is over (Escape, the outcome clip's end, a replay's
//             end): its summary is shown, and a click plays again (a reload)
//   failed    the game stopped with a message (or the page could not load it)
//   nowebgl   the browser has no WebGL 2: one sentence says so
// Every line the game prints goes to <pre id="messages"> and the console;
// window.felidoraFrames counts the frames the game has drawn (the game sets
// it). The browser's own meaning of the keys the game uses is held back, so
// F5 does not reload and Space does not scroll.
(function () {
  'use strict';

  var body = document.body;
  var canvas = document.getElementById('canvas');
  var overlay = document.getElementById('overlay');
  var messages = document.getElementById('messages');
  // in this order: the content packages fill the file system before the
  // game's main runs
  var scripts = ['Shader.js', 'Inhalt.js', 'Felidora.js'];
  var lineCount = 0;
  var frameStartLine = 0; // the lines printed before the current frame

  window.felidoraFrames = 0;

  function setState(state, notice) {
    body.dataset.state = state;
    overlay.textContent = notice || '';
    overlay.hidden = !notice;
  }

  function print(line, isError) {
    messages.appendChild(document.createTextNode(line + '\n'));
    messages.scrollTop = messages.scrollHeight;
    ++lineCount;
    if (isError) console.error(line);
    else console.log(line);
  }

  // the lines printed from the given one on
  function linesSince(first) {
    var all = messages.textContent.split('\n');
    all.pop(); // after the last line end
    return all.slice(first);
  }

  function fail(line) {
    if (line) print(line, true);
    if (body.dataset.state === 'failed') return;
    var shown = linesSince(Math.max(0, lineCount - 3)).join('\n');
    setState('failed', shown || 'Felidora wurde unerwartet beendet.');
  }

  function hasWebGl2() {
    try {
      var probe = document.createElement('canvas');
      var gl = probe.getContext('webgl2');
      if (!gl) return false;
      var lose = gl.getExtension('WEBGL_lose_context');
      if (lose) lose.loseContext();
      return true;
    } catch (e) {
      return false;
    }
  }

  if (!hasWebGl2()) {
    setState('nowebgl', 'Felidora braucht WebGL 2, und dieser Browser bietet es nicht.');
    return;
  }

  var Module = {
    canvas: canvas,
    print: function (text) {
      print(text, false);
    },
    printErr: function (text) {
      print(text, true);
    },
    // the packages' download ("Downloading data... (done/total)")
    setStatus: function (text) {
      var progress = /\((\d+)\/(\d+)\)/.exec(text || '');
      if (body.dataset.state === 'loading' && progress && Number(progress[2]) > 0)
        overlay.textContent = 'Felidora wird geladen ... ' + Math.floor((100 * progress[1]) / progress[2]) + ' %';
    },
    onRuntimeInitialized: function () {
      setState('ready', 'Klicken zum Starten');
    },
    preMainLoop: function () {
      frameStartLine = lineCount;
    },
    // Every end of the game comes here: exit() with its status, or an error
    // that stopped it.
    quit: function (status, toThrow) {
      if (typeof toThrow === 'number') {
        // a C++ exception nothing caught arrives as a bare address
        fail('Felidora wurde durch einen unerwarteten Fehler beendet (C++-Ausnahme).');
      } else if (!toThrow || toThrow.name !== 'ExitStatus') {
        fail(String(toThrow && toThrow.stack ? toThrow.stack : toThrow));
      } else if (status === 0) {
        var summary = linesSince(frameStartLine).join('\n');
        setState('ended', (summary ? summary + '\n\n' : '') + 'Klicken, um noch einmal zu spielen');
      } else {
        fail();
      }
      throw toThrow;
    },
    onAbort: function (what) {
      fail('Felidora wurde abgebrochen: ' + what);
    },
  };
  window.Module = Module;

  window.addEventListener('error', function (event) {
    if (body.dataset.state === 'loading' || body.dataset.state === 'running') fail(String(event.message));
  });

  // A click or a key starts the game once it is ready. main runs inside the
  // player's own event, so the sound it opens may play at once.
  function start() {
    if (body.dataset.state !== 'ready') return false;
    setState('running');
    frameStartLine = lineCount;
    canvas.focus();
    Module.callMain([]);
    return true;
  }

  document.addEventListener('click', function () {
    if (start()) return;
    if (body.dataset.state === 'ended') window.location.reload();
    else if (Module.resumeSound) Module.resumeSound();
  });

  // The keys whose meaning the browser would take (reload, help, search,
  // scrolling, leaving the page), held back; the game still gets them.
  var gameKeys = /^(F[1-9]|F1[0-2]|Arrow(Up|Down|Left|Right)|Space|Tab|Backspace)$/;
  window.addEventListener(
    'keydown',
    function (event) {
      if (gameKeys.test(event.code)) event.preventDefault();
      if (start()) return;
      if (body.dataset.state !== 'running') return;
      if (Module.resumeSound) Module.resumeSound();
      // full screen may only be asked for inside the player's own key
      if (event.code === 'F11' && !event.repeat) {
        if (document.fullscreenElement) document.exitFullscreen();
        else if (canvas.requestFullscreen) canvas.requestFullscreen().catch(function () {});
      }
    },
    true
  );

  var next = 0;
  function loadNext() {
    if (next >= scripts.length) return;
    var name = scripts[next++];
    var script = document.createElement('script');
    script.src = name;
    script.onload = loadNext;
    script.onerror = function () {
      fail('Die Datei ' + name + ' konnte nicht geladen werden.');
    };
    document.body.appendChild(script);
  }
  loadNext();
})();
