// SPDX-License-Identifier: MIT
// The page's side of the browser build: the document, timers, fetching, pictures and Web Audio.
// The rules of the game and of the page live in the WebAssembly module; this only carries
// them out and hands the browser's events to it. Linked ahead of the module's own code.

var MiradelPage = (function () {
  'use strict';

  var ids = ['choice-0', 'choice-1', 'choice-2', 'choice-3', 'next-day', 'message', 'day', 'picture', 'backlog'];
  var MESSAGE = 5, PICTURE = 7, BACKLOG = 8;
  var elements = [];
  var game, fatal, soundNote, folderInput;

  // Everything that belongs to one game: a new one (a picked folder) starts from nothing, and
  // answers meant for the game before are dropped.
  var generation = 0;
  var pictures = new Map();
  var buffer = null, painted = null, pictureBack = '#ffffff';
  var pacing = null, watch = null, skipping = null;
  var music = new Map();
  var audio = null, gestured = false;
  var pickedFiles = [];
  var stopped = false;
  var firstLineMarked = false;

  function call(name) {
    var args = Array.prototype.slice.call(arguments, 1);
    return Module['_' + name].apply(null, args);
  }

  function withCString(text, use) {
    var bytes = new TextEncoder().encode(text + '\0');
    var pointer = Module._malloc(bytes.length);
    HEAPU8.set(bytes, pointer);
    try {
      return use(pointer);
    } finally {
      Module._free(pointer);
    }
  }

  function colour(packed) {
    return 'rgb(' + (packed & 255) + ',' + ((packed >> 8) & 255) + ',' + ((packed >> 16) & 255) + ')';
  }

  function viewport() {
    return [document.documentElement.clientWidth, document.documentElement.clientHeight];
  }

  function params() {
    return new URLSearchParams(window.location.search);
  }

  // Starts a game afresh: the controls as they are when the window is created.
  function resetPage() {
    generation++;
    stopped = false;
    if (pacing !== null) clearInterval(pacing);
    if (watch !== null) clearTimeout(watch);
    if (skipping !== null) clearInterval(skipping);
    pacing = watch = skipping = null;
    music.forEach(function (m) { stopSource(m); });
    music.clear();
    pictures.forEach(function (bitmap) { if (bitmap.close) bitmap.close(); });
    pictures.clear();
    buffer = painted = null;
    elements.forEach(function (element, i) {
      element.hidden = true;
      if (i !== PICTURE) element.textContent = '';
    });
    elements[MESSAGE].textContent = 'Label1';
    elements[6].textContent = 'Label2';
    game.removeAttribute('data-scene');
    fatal.hidden = true;
    fatal.textContent = '';
  }

  function playServer() {
    resetPage();
    var folder = params().get('game') || '';
    var shown = new URL(folder === '' ? './' : folder.replace(/\/?$/, '/'), window.location.href).href;
    var size = viewport();
    withCString(folder, function (f) {
      withCString(shown, function (s) {
        withCString(params().get('seed') || '', function (seed) {
          call('miradel_play_server', f, s, seed, size[0], size[1]);
        });
      });
    });
  }


  function playPicked(files) {
    resetPage();
    pickedFiles = files;
    var paths = files.map(function (file) { return file.webkitRelativePath || file.name; }).join('\n');
    var size = viewport();
    withCString(paths, function (p) {
      withCString(params().get('seed') || '', function (seed) {
        call('miradel_play_picked', p, seed, size[0], size[1]);
      });
    });
    // A game started while the page is full screen is laid out for it.
    if (document.fullscreenElement || document.webkitFullscreenElement) fullScreenChanged();
  }

  // Answers to the module: bytes go into its memory for the call and are freed after it.
  function answer(gen, request, kind, bytes) {
    if (gen !== generation) return;
    var length = bytes ? bytes.length : 0;
    var pointer = length > 0 ? Module._malloc(length) : 0;
    if (length > 0) HEAPU8.set(bytes, pointer);
    try {
      call('miradel_file_arrived', request, kind, pointer, length);
    } finally {
      if (pointer) Module._free(pointer);
    }
  }
  var FOUND = 0, MISSING = 1, UNREADABLE = 2, BROKEN = 3;

  // The addresses in turn, until one answers with the file; it is missing when every answer
  // was "not found", and unreadable when another failure came between.
  function fetchFirst(addresses) {
    var failure = MISSING;
    var base = window.location.href;
    function attempt(i) {
      if (i >= addresses.length) return Promise.resolve({ status: failure });
      // Each name is escaped as a whole ("#" and "?" are part of a file name); a colon stays,
      // so that ?game= may name a folder by its full address.
      var path = addresses[i].split('/').map(function (part) {
        return encodeURIComponent(part).replace(/%3A/gi, ':');
      }).join('/');
      var url = new URL(path, base).href;
      return fetch(url).then(function (response) {
        if (response.ok) {
          return response.arrayBuffer().then(function (data) {
            return { status: FOUND, data: data };
          }, function () {
            return { status: UNREADABLE };
          });
        }
        if (response.status !== 404 && response.status !== 410) failure = UNREADABLE;
        return attempt(i + 1);
      }, function () {
        failure = UNREADABLE;
        return attempt(i + 1);
      });
    }
    return attempt(0);
  }

  function readPicked(index) {
    if (index < 0 || index >= pickedFiles.length) return Promise.resolve({ status: MISSING });
    return pickedFiles[index].arrayBuffer().then(function (data) {
      return { status: FOUND, data: data };
    }, function () {
      return { status: UNREADABLE };
    });
  }

  // Decoded by the browser, kept decoded: a picture is painted inside a step.
  function decodePicture(data) {
    var blob = new Blob([data]);
    if (window.createImageBitmap) return createImageBitmap(blob);
    return new Promise(function (resolve, reject) {
      var image = new Image();
      var url = URL.createObjectURL(blob);
      image.onload = function () { URL.revokeObjectURL(url); resolve(image); };
      image.onerror = function () { URL.revokeObjectURL(url); reject(new Error('undecodable')); };
      image.src = url;
    });
  }

  function fetchFile(request, kind, key, addresses, pickedIndex) {
    var gen = generation;
    // The music takes its commands while it is still on its way.
    if (kind === 2) music.set(request, { request: request, buffer: null, source: null, wantPlay: false, offset: 0 });
    var got = addresses.length > 0 ? fetchFirst(addresses) : readPicked(pickedIndex);
    got.then(function (result) {
      if (gen !== generation) return;
      if (result.status !== FOUND) {
        if (kind === 2) music.delete(request);
        answer(gen, request, result.status, null);
      } else if (kind === 0) {
        answer(gen, request, FOUND, new Uint8Array(result.data));
      } else if (kind === 1) {
        decodePicture(result.data).then(function (bitmap) {
          if (gen !== generation) return;
          pictures.set(key, bitmap);
          answer(gen, request, FOUND, null);
        }, function () {
          answer(gen, request, BROKEN, null);
        });
      } else {
        openMusic(gen, request, result.data);
      }
    });
  }

  // Music: decoded at once (a context that makes no sound may do so before any gesture),
  // played once the player has clicked or pressed a key.
  function openMusic(gen, request, data) {
    var m = music.get(request);
    if (!m) return;
    answer(gen, request, FOUND, null);
    var Offline = window.OfflineAudioContext || window.webkitOfflineAudioContext;
    var decoder = new Offline(2, 1, 44100);
    decoder.decodeAudioData(data).then(function (decoded) {
      if (gen !== generation || music.get(request) !== m) return;
      m.buffer = decoded;
      startIfReady(m);
    }, function () {
      if (gen !== generation || music.get(request) !== m) return;
      music.delete(request);
      answer(gen, request, BROKEN, null);
    });
  }

  function startIfReady(m) {
    if (!audio || !m.buffer || !m.wantPlay || m.source) return;
    var source = audio.createBufferSource();
    source.buffer = m.buffer;
    source.connect(audio.destination);
    var gen = generation;
    source.onended = function () {
      if (m.source !== source) return;
      m.source = null;
      m.wantPlay = false;
      m.offset = 0;
      if (gen === generation && !stopped) call('miradel_music_ended', m.request);
    };
    m.source = source;
    source.start(0, m.offset);
  }

  function stopSource(m) {
    if (!m.source) return;
    var source = m.source;
    m.source = null;
    source.onended = null;
    try { source.stop(); } catch (e) { /* never started */ }
  }

  // Sound may start only from a gesture of the player's. Every gesture tries again, as
  // browsers differ in which events count as one.
  function gesture() {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!audio && Context) audio = new Context();
    if (audio && audio.state !== 'running' && audio.resume) audio.resume();
    if (gestured) return;
    gestured = true;
    soundNote.hidden = true;
    music.forEach(startIfReady);
  }

  function ours(event) {
    var target = event.target;
    return target === document.body || target === document.documentElement || game.contains(target);
  }

  function keyDown(event) {
    if (!ours(event)) return;
    var modifiers = (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0) | (event.metaKey ? 8 : 0);
    var action = withCString(event.key, function (key) {
      return call('miradel_key_down', key, event.repeat ? 1 : 0, modifiers);
    });
    if (action === 0) return;
    event.preventDefault();
    if (action === 3 && document.activeElement && document.activeElement.click) document.activeElement.click();
  }

  // A button pressed with Space clicks when Space is let go: a swallowed release must not.
  // Every release is told, so that Ctrl let go anywhere on the page ends a held skip.
  function keyUp(event) {
    var swallowed = withCString(event.key, function (key) { return call('miradel_key_up', key); });
    if (swallowed && ours(event)) event.preventDefault();
  }

  function fullScreenChanged() {
    var size = viewport();
    var full = document.fullscreenElement || document.webkitFullscreenElement;
    call('miradel_full_screen_changed', full ? 1 : 0, size[0], size[1]);
  }

  // The backlog counts in lines of its own wrapped text.
  function backlogLineHeight() {
    var element = elements[BACKLOG];
    var height = parseFloat(getComputedStyle(element).lineHeight);
    return height > 0 ? height : 1.2 * parseFloat(getComputedStyle(element).fontSize) || 16;
  }

  function paint() {
    var canvas = elements[PICTURE];
    var context = canvas.getContext('2d');
    context.fillStyle = pictureBack;
    context.fillRect(0, 0, canvas.width, canvas.height);
    if (painted) {
      context.imageSmoothingQuality = 'high';
      context.drawImage(painted, 0, 0, painted.width, painted.height, 0, 0, canvas.width, canvas.height);
    }
  }

  function start() {
    ids.forEach(function (id) { elements.push(document.getElementById(id)); });
    game = document.getElementById('game');
    fatal = document.getElementById('fatal');
    soundNote = document.getElementById('sound-note');
    folderInput = document.getElementById('open-folder');

    elements[MESSAGE].addEventListener('click', function () { call('miradel_message_click'); });
    game.addEventListener('wheel', function (event) {
      // In the desktop's unit: 120 a notch, positive away from the reader. A notch scrolls
      // about 100 pixels, or 3 lines.
      var scale = event.deltaMode === 1 ? 40 : event.deltaMode === 2 ? 120 : 1.2;
      var over = event.target === elements[MESSAGE] || elements[MESSAGE].contains(event.target);
      if (call('miradel_wheel', Math.round(-event.deltaY * scale), over ? 1 : 0)) event.preventDefault();
    }, { passive: false });
    // While the backlog is open a press moves the keyboard nowhere, and a click closes it and
    // reaches nothing else.
    game.addEventListener('mousedown', function (event) {
      if (!elements[BACKLOG].hidden) event.preventDefault();
    }, true);
    game.addEventListener('click', function (event) {
      if (call('miradel_game_click')) {
        event.stopPropagation();
        event.preventDefault();
      }
    }, true);
    elements[4].addEventListener('click', function () { call('miradel_next_day_click'); });
    [0, 1, 2, 3].forEach(function (i) {
      elements[i].addEventListener('click', function () { call('miradel_choice_click', i); });
    });
    document.addEventListener('keydown', keyDown);
    document.addEventListener('keyup', keyUp);
    window.addEventListener('blur', function () { call('miradel_focus_lost'); });
    document.addEventListener('fullscreenchange', fullScreenChanged);
    document.addEventListener('webkitfullscreenchange', fullScreenChanged);
    ['pointerdown', 'pointerup', 'click', 'keydown', 'touchend'].forEach(function (type) {
      window.addEventListener(type, gesture, true);
    });
    window.addEventListener('resize', function () {
      var size = viewport();
      call('miradel_resize', size[0], size[1]);
    });
    folderInput.addEventListener('change', function () {
      var files = Array.prototype.slice.call(folderInput.files || []);
      if (files.length > 0) playPicked(files);
    });
    playServer();
  }

  // A page opened from the disk cannot fetch the player's own files, nor the game's: the
  // browser forbids it, so the module never starts. Say so instead of showing nothing.
  if (window.location.protocol === 'file:') {
    var tell = function () {
      var note = document.getElementById('file-note');
      if (note) note.hidden = false;
    };
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', tell);
    else tell();
  }

  return {
    runtimeReady: function () {
      if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
      else start();
    },
    utf16: function (pointer, length) {
      return new TextDecoder('utf-16le').decode(HEAPU8.subarray(pointer, pointer + 2 * length));
    },
    setText: function (i, text) {
      var element = elements[i];
      // For measuring: the moment the first line of the game is on the page.
      if (i === MESSAGE && !firstLineMarked && !element.hidden && performance.mark) {
        firstLineMarked = true;
        performance.mark('miradel-first-line');
      }
      var shown = text.replace(/\r\n/g, '\n');
      var before = element.textContent;
      if (i === MESSAGE && before.length > 0 && shown.length > before.length && shown.lastIndexOf(before, 0) === 0) {
        // A line added to the page: only it is new, and only it is announced to a screen reader.
        element.appendChild(document.createTextNode(shown.slice(before.length)));
      } else {
        element.textContent = shown;
      }
      // A page taller than the message area keeps its newest line in view.
      if (i === MESSAGE) element.scrollTop = element.scrollHeight;
    },
    setVisible: function (i, visible) {
      elements[i].hidden = !visible;
    },
    place: function (i, x, y, width, height) {
      var style = elements[i].style;
      style.left = x + 'px';
      style.top = y + 'px';
      style.width = width + 'px';
      style.height = height + 'px';
      if (i === PICTURE) {
        var canvas = elements[i];
        var ratio = window.devicePixelRatio || 1;
        var w = Math.max(1, Math.round(width * ratio)), h = Math.max(1, Math.round(height * ratio));
        if (canvas.width !== w || canvas.height !== h) {
          canvas.width = w;
          canvas.height = h;
          paint();
        }
      }
    },
    setFontSize: function (i, points) {
      elements[i].style.fontSize = points + 'pt';
    },
    setColors: function (i, fore, back, transparent) {
      elements[i].style.color = colour(fore);
      elements[i].style.backgroundColor = transparent ? 'transparent' : colour(back);
      if (i === PICTURE) pictureBack = colour(back);
    },
    setAccessibleName: function (i, name) {
      elements[i].setAttribute('aria-label', name);
    },
    placeWindow: function (x, y, width, height, back) {
      var style = game.style;
      style.left = x + 'px';
      style.top = y + 'px';
      style.width = width + 'px';
      style.height = height + 'px';
      style.backgroundColor = colour(back);
    },
    setSceneName: function (name) {
      game.setAttribute('data-scene', name);
    },
    focused: function () {
      return elements.indexOf(document.activeElement);
    },
    focus: function (i) {
      if (i >= 0) {
        elements[i].focus({ preventScroll: true });
      } else if (elements.indexOf(document.activeElement) >= 0) {
        document.activeElement.blur();
      }
    },
    clearPicture: function (back) {
      pictureBack = colour(back);
      painted = null;
      paint();
    },
    loadPictureBuffer: function (key) {
      var bitmap = pictures.get(key);
      if (!bitmap) return false;
      buffer = bitmap;
      return true;
    },
    paintPicture: function () {
      painted = buffer;
      paint();
    },
    setPacingTimer: function (on, interval) {
      if (on && pacing === null) {
        pacing = setInterval(function () { call('miradel_pacing_tick'); }, interval);
      } else if (!on && pacing !== null) {
        clearInterval(pacing);
        pacing = null;
      }
    },
    armMusicWatch: function (after) {
      if (watch !== null) clearTimeout(watch);
      watch = null;
      if (after >= 0) {
        watch = setTimeout(function () {
          watch = null;
          call('miradel_music_watch_tick');
        }, after);
      }
    },
    fetchFile: fetchFile,
    musicPlay: function (request, fromStart) {
      var m = music.get(request);
      if (!m) return;
      if (fromStart) m.offset = 0;
      m.wantPlay = true;
      startIfReady(m);
    },
    musicStop: function (request) {
      var m = music.get(request);
      if (!m) return;
      stopSource(m);
      m.wantPlay = false;
      m.offset = 0;
    },
    musicRelease: function (request) {
      var m = music.get(request);
      if (!m) return;
      stopSource(m);
      music.delete(request);
    },
    backlogLines: function () {
      var element = elements[BACKLOG];
      var line = backlogLineHeight();
      var hidden = Math.max(0, element.scrollHeight - element.clientHeight);
      var last = Math.ceil(hidden / line - 0.01);
      // Scrolled to the end is the last line, also where the text is no whole number of lines.
      var first = element.scrollTop >= hidden - 1 ? last : Math.round(element.scrollTop / line);
      return [first, last, Math.max(1, Math.floor(element.clientHeight / line))];
    },
    showBacklogFrom: function (first) {
      var element = elements[BACKLOG];
      element.scrollTop = Math.min(first * backlogLineHeight(), element.scrollHeight - element.clientHeight);
    },
    setSkipTimer: function (on, interval) {
      if (on && skipping === null) {
        skipping = setInterval(function () { call('miradel_skip_frame'); }, interval);
      } else if (!on && skipping !== null) {
        clearInterval(skipping);
        skipping = null;
      }
    },
    // The document full screen, the game centred in it by the layout.
    requestFullScreen: function (on) {
      var root = document.documentElement;
      var request = root.requestFullscreen || root.webkitRequestFullscreen;
      var exit = document.exitFullscreen || document.webkitExitFullscreen;
      try {
        var done = on ? (request && request.call(root)) : (document.fullscreenElement && exit && exit.call(document));
        // A browser that refuses leaves the page as it was.
        if (done && done.catch) done.catch(function () {});
      } catch (e) { /* not allowed here */ }
    },
    showFatal: function (text) {
      stopped = true;
      if (pacing !== null) clearInterval(pacing);
      if (watch !== null) clearTimeout(watch);
      if (skipping !== null) clearInterval(skipping);
      pacing = watch = skipping = null;
      fatal.textContent = text;
      fatal.hidden = false;
    }
  };
})();
