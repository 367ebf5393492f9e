// The page side of the engine's web backend: the canvas the cells are drawn
// on, the DOM's keys, pointer and focus queued for the input poll, Web Audio
// for sounds and music, and the log's lines on the console. The C++ classes
// in this folder call these functions; nothing else in the engine knows a
// browser is there.
//
// window.lark is the page's view of the game for the page itself and for
// tools that drive it: the audio counters and the list of decoded files.

mergeInto(LibraryManager.library, {
  $LK__postset: 'LK.init();',
  $LK: {
    canvas: null,
    ctx: null,
    width: 1024,
    height: 768,
    family: '',
    queue: [],
    keyRepeat: true,
    audio: null,
    master: null,
    buffers: [],    // decoded sounds and music by id
    voices: [],     // per id: the playing source, its loop flag, where a pause left it
    // Engine colours: black, red, green, yellow, blue, magenta, cyan, white.
    COLORS: ['#000000', '#ff0000', '#00ff00', '#ffff00', '#0000ff', '#ff00ff', '#00ffff', '#ffffff'],
    // The engine's key codes by the DOM's physical key names.
    KEYS: null,

    init: function() {
      var keys = {Space: 0, Enter: 1, Escape: 2, Tab: 3, ArrowLeft: 4, ArrowRight: 5, ArrowUp: 6, ArrowDown: 7,
                  Pause: 8, Minus: 9, Equal: 10, Backquote: 11, Period: 12, Comma: 13, Slash: 14,
                  ControlLeft: 15, ControlRight: 16, ShiftLeft: 17, ShiftRight: 18, Digit0: 66};
      for (var f = 1; f <= 12; ++f) keys['F' + f] = 18 + f;
      for (var c = 0; c < 26; ++c) keys['Key' + String.fromCharCode(65 + c)] = 31 + c;
      for (var d = 1; d <= 9; ++d) keys['Digit' + d] = 56 + d;
      LK.KEYS = keys;
      if (typeof window !== 'undefined') {
        window.lark = window.lark || {};
        // Files decoded; sources started, and by file those started with the sound on.
        window.lark.audio = {decoded: [], started: 0, played: {}, state: 'none'};
      }
    },

    countPlayed: function(v) {
      if (v.source.counted) return;
      v.source.counted = true;
      var played = window.lark.audio.played;
      played[v.file] = (played[v.file] || 0) + 1;
    },

    // The bytes of a file of the in-memory file system, or null when missing.
    readFile: function(file) {
      try {
        return FS.readFile(file);
      } catch (e) {
        return null;
      }
    },

    // The frame is put together here, pixel by pixel, and handed to the
    // canvas whole when it ends: a canvas's own drawing of thousands of
    // small rectangles and outlined glyphs costs the browser several times
    // more (bench/README.md). Each cell is one image, its background with
    // its glyph, drawn once by the canvas at each quarter-pixel offset it
    // is met at and kept.
    frame: null,       // ImageData of the canvas's backing store
    pixels: null,      // the frame as 32-bit RGBA words
    dirty: false,      // the frame has changed since the canvas was given it
    cellImages: {},    // by character, colour and offset: {width, height, pixels}
    cellImageCount: 0,
    cellImageKey: '',  // the geometry and font the kept images were drawn with
    scratch: null,     // the 2-D context the cell images are drawn on
    PHASES: 4,         // offsets per pixel, across and down
    MOST_CELL_IMAGES: 16384,

    // Cells as the canvas draws them, each offset by its (fx, fy) pixels:
    // the background rectangle (a cell's size) and, unless a space, the
    // bold glyph on the baseline `size` below the cell's corner plus a fifth
    // of its height. `wanted` holds [id, character, colour, fx, fy] each.
    // They are drawn side by side and read back at once (each read-back
    // waits for the canvas), and kept as premultiplied words, so that
    // putting one on the frame is a copy where it is opaque.
    makeCellImages: function(wanted, cell_width, cell_height, size, sx, sy) {
      var w = Math.ceil(cell_width * sx) + 2, h = Math.ceil(cell_height * sy) + 2;
      var across = Math.max(1, Math.floor(2048 / w)), down = Math.ceil(wanted.length / across);
      if (!LK.scratch) LK.scratch = document.createElement('canvas').getContext('2d', {willReadFrequently: true});
      var c = LK.scratch;
      if (c.canvas.width < across * w || c.canvas.height < down * h) {
        c.canvas.width = Math.max(across * w, c.canvas.width);
        c.canvas.height = Math.max(down * h, c.canvas.height);
      }
      c.setTransform(1, 0, 0, 1, 0, 0);
      c.clearRect(0, 0, across * w, down * h);
      c.font = 'bold ' + size + 'px ' + (LK.family || 'monospace');
      c.textBaseline = 'alphabetic';
      c.lineWidth = 1;
      c.lineJoin = 'round';
      var i, cell;
      for (i = 0; i < wanted.length; ++i) {
        cell = wanted[i];
        c.setTransform(sx, 0, 0, sy, (i % across) * w + cell[3], Math.floor(i / across) * h + cell[4]);
        c.fillStyle = '#000000';
        c.fillRect(0, 0, cell_width, cell_height);
        if (cell[1] === 32) continue;
        c.fillStyle = c.strokeStyle = LK.COLORS[cell[2]];
        var text = String.fromCharCode(cell[1]);
        c.fillText(text, cell_width / 10, cell_height / 5 + size);
        c.strokeText(text, cell_width / 10, cell_height / 5 + size);
      }
      var all = new Uint32Array(c.getImageData(0, 0, across * w, down * h).data.buffer), stride = across * w;
      for (i = 0; i < wanted.length; ++i) {
        var p = new Uint32Array(w * h), at = Math.floor(i / across) * h * stride + (i % across) * w;
        for (var y = 0; y < h; ++y) p.set(all.subarray(at + y * stride, at + y * stride + w), y * w);
        for (var k = 0; k < p.length; ++k) {
          var a = p[k] >>> 24;
          if (a === 255 || a === 0) continue;
          var r = ((p[k] & 255) * a + 127) / 255 | 0, g = ((p[k] >>> 8 & 255) * a + 127) / 255 | 0;
          var b = ((p[k] >>> 16 & 255) * a + 127) / 255 | 0;
          p[k] = (a << 24 | b << 16 | g << 8 | r) >>> 0;
        }
        LK.cellImages[wanted[i][0]] = {width: w, height: h, pixels: p};
      }
      LK.cellImageCount += wanted.length;
    },

    // Puts a cell image on the frame with its corner at whole pixel (x, y),
    // over what is there, cut at the frame's edges.
    putCellImage: function(image, x, y) {
      var W = LK.frame.width, out = LK.pixels, src = image.pixels, w = image.width;
      var x0 = x < 0 ? -x : 0, x1 = Math.min(w, W - x);
      var y0 = y < 0 ? -y : 0, y1 = Math.min(image.height, LK.frame.height - y);
      for (var row = y0; row < y1; ++row) {
        var s = row * w, d = (y + row) * W + x;
        for (var col = x0; col < x1; ++col) {
          var p = src[s + col], a = p >>> 24;
          if (a === 255) {
            out[d + col] = p;
          } else if (a !== 0) {
            var q = out[d + col], k = 255 - a;
            var r = (p & 255) + (((q & 255) * k + 127) / 255 | 0);
            var g = (p >>> 8 & 255) + (((q >>> 8 & 255) * k + 127) / 255 | 0);
            var b = (p >>> 16 & 255) + (((q >>> 16 & 255) * k + 127) / 255 | 0);
            out[d + col] = (0xff000000 | b << 16 | g << 8 | r) >>> 0;
          }
        }
      }
    },

    // Pointer position in canvas pixels (the game's 1024 x 768), whatever
    // size the page shows the canvas at.
    canvasPoint: function(e) {
      var r = LK.canvas.getBoundingClientRect();
      var x = r.width > 0 ? (e.clientX - r.left) * LK.width / r.width : 0;
      var y = r.height > 0 ? (e.clientY - r.top) * LK.height / r.height : 0;
      return [Math.floor(x), Math.floor(y)];
    },

    // Record layout shared with Window::pollInput: type, key, button, x, y.
    push: function(type, key, button, x, y) {
      if (LK.queue.length < 4096) LK.queue.push([type, key, button, x, y]);
    },

    // Browsers start audio only inside a user's gesture (a key that is no
    // modifier, a click): each one resumes the context until it runs, and
    // whatever was started before sounds then.
    gesture: function() {
      if (LK.audio && LK.audio.state !== 'running') LK.audio.resume();
    },

    // Fits the canvas in its container, aspect kept, with a backing store of
    // the shown size in device pixels so that glyphs stay sharp at any scale.
    fit: function() {
      var box = LK.canvas.parentElement.getBoundingClientRect();
      var scale = Math.min(box.width / LK.width, box.height / LK.height);
      if (!(scale > 0)) scale = 1;
      var w = Math.floor(LK.width * scale), h = Math.floor(LK.height * scale);
      var ratio = window.devicePixelRatio || 1;
      LK.canvas.style.width = w + 'px';
      LK.canvas.style.height = h + 'px';
      LK.canvas.width = Math.round(w * ratio);
      LK.canvas.height = Math.round(h * ratio);
      LK.ctx.setTransform(LK.canvas.width / LK.width, 0, 0, LK.canvas.height / LK.height, 0, 0);
      LK.ctx.fillStyle = '#000000';
      LK.ctx.fillRect(0, 0, LK.width, LK.height);
      LK.frame = LK.ctx.createImageData(LK.canvas.width, LK.canvas.height);
      LK.pixels = new Uint32Array(LK.frame.data.buffer);
      LK.pixels.fill(0xff000000);
    },

    listen: function() {
      var INPUT = {KEY_DOWN: 0, KEY_UP: 1, POINTER_MOVED: 2, BUTTON_DOWN: 3, BUTTON_UP: 4, FOCUS_GAINED: 5, FOCUS_LOST: 6};
      var BUTTONS = [0, 2, 1];  // DOM left, middle, right -> engine left, middle, right
      var key = function(type) {
        return function(e) {
          LK.gesture();
          if (type === INPUT.KEY_DOWN && e.repeat && !LK.keyRepeat) return;
          var code = LK.KEYS.hasOwnProperty(e.code) ? LK.KEYS[e.code] : -1;
          // Keys the game may use must not scroll the page or move the focus.
          if (code >= 0 && (code < 19 || code > 30)) e.preventDefault();
          LK.push(type, code, -1, 0, 0);
        };
      };
      window.addEventListener('keydown', key(INPUT.KEY_DOWN));
      window.addEventListener('keyup', key(INPUT.KEY_UP));
      LK.canvas.addEventListener('mousemove', function(e) {
        var p = LK.canvasPoint(e);
        LK.push(INPUT.POINTER_MOVED, -1, -1, p[0], p[1]);
      });
      var button = function(type) {
        return function(e) {
          if (type === INPUT.BUTTON_DOWN) LK.gesture();
          var p = LK.canvasPoint(e);
          LK.push(type, -1, e.button < 3 ? BUTTONS[e.button] : -1, p[0], p[1]);
          e.preventDefault();
        };
      };
      LK.canvas.addEventListener('mousedown', button(INPUT.BUTTON_DOWN));
      LK.canvas.addEventListener('mouseup', button(INPUT.BUTTON_UP));
      LK.canvas.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      // Hidden or unfocused, the page is away; shown and focused, back.
      document.addEventListener('visibilitychange', function() {
        LK.push(document.hidden ? INPUT.FOCUS_LOST : INPUT.FOCUS_GAINED, -1, -1, 0, 0);
      });
      window.addEventListener('blur', function() { LK.push(INPUT.FOCUS_LOST, -1, -1, 0, 0); });
      window.addEventListener('focus', function() { LK.push(INPUT.FOCUS_GAINED, -1, -1, 0, 0); });
      window.addEventListener('resize', LK.fit);
    },
  },

  // The page's canvas "#canvas" as a width x height drawing surface; -1 when
  // the page has none or the browser gives it no 2-D context.
  lk_web_open__deps: ['$LK'],
  lk_web_open: function(width, height, title) {
    if (typeof document === 'undefined') return -1;
    var canvas = Module['canvas'] || document.getElementById('canvas');
    var ctx = canvas ? canvas.getContext('2d', {alpha: false}) : null;
    if (!ctx) return -1;
    LK.canvas = canvas;
    LK.ctx = ctx;
    LK.width = width;
    LK.height = height;
    document.title = UTF8ToString(title);
    if (!LK.listening) {
      LK.listening = true;
      LK.listen();
    }
    LK.fit();
    return 0;
  },

  lk_web_close__deps: ['$LK'],
  lk_web_close: function() {
    LK.ctx = null;
  },

  lk_web_set_title: function(title) {
    if (typeof document !== 'undefined') document.title = UTF8ToString(title);
  },

  // Loads a TrueType file of the in-memory file system as the font for the
  // glyphs; -1 when the file is missing or no font. Waits for the browser
  // to parse it, so the first frame already has its glyphs.
  lk_web_load_font__deps: ['$LK', '$Asyncify'],
  lk_web_load_font: function(path) {
    var file = UTF8ToString(path);
    return Asyncify.handleAsync(function() {
      var bytes = LK.readFile(file);
      if (!bytes) return Promise.resolve(-1);
      var face = new FontFace('LarkCells', bytes.slice().buffer, {weight: 'bold'});
      return face.load().then(function(loaded) {
        document.fonts.add(loaded);
        LK.family = 'LarkCells';
        return 0;
      }, function() {
        return -1;
      });
    });
  },

  // The largest size, at most `largest`, at which the ink of every printable
  // ASCII glyph, drawn as lk_web_draw_cells draws it, stays inside the cell's
  // background rectangle. The outline widens each glyph's box by half a
  // pixel on every side, and that half pixel is ink too.
  lk_web_fitting_size__deps: ['$LK'],
  lk_web_fitting_size: function(largest, cell_width, cell_height) {
    var ctx = LK.ctx;
    if (!ctx) return largest;
    var left = -cell_width / 10, right = cell_width - cell_width / 10;
    var top = -cell_height / 5, bottom = cell_height - cell_height / 5;
    var size = largest;
    for (; size > 1; --size) {
      ctx.font = 'bold ' + size + 'px ' + (LK.family || 'monospace');
      var fits = true;
      for (var code = 33; code < 127 && fits; ++code) {
        var m = ctx.measureText(String.fromCharCode(code));
        fits = -m.actualBoundingBoxLeft - 0.5 >= left && m.actualBoundingBoxRight + 0.5 <= right &&
               size - m.actualBoundingBoxAscent - 0.5 >= top &&
               size + m.actualBoundingBoxDescent + 0.5 <= bottom;
      }
      if (fits) break;
    }
    return size;
  },

  lk_web_set_key_repeat__deps: ['$LK'],
  lk_web_set_key_repeat: function(repeat) {
    LK.keyRepeat = !!repeat;
  },

  // Fills the frame; the canvas keeps showing the last one until the next present.
  lk_web_clear__deps: ['$LK'],
  lk_web_clear: function(color) {
    if (!LK.pixels) return;
    var rgb = parseInt(LK.COLORS[color >= 0 && color < 8 ? color : 7].slice(1), 16);
    LK.pixels.fill((0xff000000 | (rgb & 255) << 16 | rgb & 0xff00 | rgb >> 16) >>> 0);
    LK.dirty = true;
  },

  lk_web_present__deps: ['$LK'],
  lk_web_present: function() {
    if (LK.ctx && LK.dirty) LK.ctx.putImageData(LK.frame, 0, 0);
    LK.dirty = false;
  },

  // Draws `count` cells from the records at `cells` (four 32-bit words each:
  // x and y of the cell's corner in pixels as floats, the character, the
  // colour) on the frame, in order: each cell's background, offset by a
  // tenth of its width and a fifth of its height, covers what earlier cells
  // drew there, then its glyph sits on the baseline `pixels` below the
  // corner. Bold glyphs are thickened by a pixel's outline, as the
  // desktop's bold style does. The canvas shows the frame from its present.
  lk_web_draw_cells__deps: ['$LK'],
  lk_web_draw_cells: function(cells, count, cell_width, cell_height, pixels) {
    if (!LK.ctx || !LK.frame || count <= 0) return;
    var sx = LK.canvas.width / LK.width, sy = LK.canvas.height / LK.height, n = LK.PHASES;
    var key = [cell_width, cell_height, pixels, sx, sy, LK.family].join();
    if (key !== LK.cellImageKey || LK.cellImageCount > LK.MOST_CELL_IMAGES) {
      LK.cellImages = {};
      LK.cellImageCount = 0;
      LK.cellImageKey = key;
    }
    var f = HEAPF32, w = HEAP32, at = cells >> 2;
    var bx = cell_width / 10, by = cell_height / 5;
    var placed = new Int32Array(count * 3), wanted = [], asked = {};
    for (var i = 0; i < count; ++i, at += 4) {
      // The background's corner in the canvas's pixels: a whole pixel and
      // the nearest offset within it.
      var X = (f[at] - bx) * sx, Y = (f[at + 1] - by) * sy;
      var x = Math.floor(X), y = Math.floor(Y);
      var fx = Math.round((X - x) * n), fy = Math.round((Y - y) * n);
      if (fx === n) { ++x; fx = 0; }
      if (fy === n) { ++y; fy = 0; }
      var ch = w[at + 2] & 255, color = w[at + 3] >= 0 && w[at + 3] < 8 ? w[at + 3] : 7;
      var id = ((ch * 8 + color) * n + fx) * n + fy;
      if (!LK.cellImages[id] && !asked[id]) {
        asked[id] = true;
        wanted.push([id, ch, color, fx / n, fy / n]);
      }
      placed[3 * i] = id;
      placed[3 * i + 1] = x;
      placed[3 * i + 2] = y;
    }
    if (wanted.length > 0) LK.makeCellImages(wanted, cell_width, cell_height, pixels, sx, sy);
    for (i = 0; i < count; ++i)
      LK.putCellImage(LK.cellImages[placed[3 * i]], placed[3 * i + 1], placed[3 * i + 2]);
    LK.dirty = true;
  },

  // Takes the oldest queued input into the five words at `record`; 0 when
  // there is none.
  lk_web_poll__deps: ['$LK'],
  lk_web_poll: function(record) {
    if (LK.queue.length === 0) return 0;
    var r = LK.queue.shift();
    for (var i = 0; i < 5; ++i) HEAP32[(record >> 2) + i] = r[i];
    return 1;
  },

  lk_web_console: function(text) {
    var line = UTF8ToString(text);
    console.log(line.endsWith('\n') ? line.slice(0, -1) : line);
  },

  // The audio context, made suspended as browsers make it before a gesture;
  // -1 when the browser has no Web Audio.
  lk_web_audio_open__deps: ['$LK'],
  lk_web_audio_open: function() {
    if (LK.audio) return 0;
    var Context = typeof window !== 'undefined' ? (window.AudioContext || window.webkitAudioContext) : null;
    if (!Context) return -1;
    try {
      LK.audio = new Context();
    } catch (e) {
      return -1;
    }
    // Everything plays through one gain node and an analyser, where the page
    // (and whoever drives it) can see what is sounding.
    LK.master = LK.audio.createGain();
    var analyser = LK.audio.createAnalyser();
    analyser.fftSize = 2048;
    LK.master.connect(analyser);
    analyser.connect(LK.audio.destination);
    var samples = new Float32Array(analyser.fftSize);
    window.lark.audio.level = function() {
      analyser.getFloatTimeDomainData(samples);
      var peak = 0;
      for (var i = 0; i < samples.length; ++i) peak = Math.max(peak, Math.abs(samples[i]));
      return peak;
    };
    var report = function() {
      window.lark.audio.state = LK.audio.state;
      if (LK.audio.state !== 'running') return;
      // What was started while the context waited sounds from now on.
      LK.voices.forEach(function(v) { if (v.source) LK.countPlayed(v); });
      if (window.lark.onSound) window.lark.onSound();
    };
    LK.audio.onstatechange = report;
    report();
    return 0;
  },

  // Decodes a WAV or MP3 file of the in-memory file system; its id, or -1
  // when the file is missing or the browser cannot decode it.
  lk_web_audio_load__deps: ['$LK', '$Asyncify'],
  lk_web_audio_load: function(path) {
    var file = UTF8ToString(path);
    return Asyncify.handleAsync(function() {
      var bytes = LK.readFile(file);
      if (!bytes || !LK.audio || bytes.length === 0) return Promise.resolve(-1);
      return new Promise(function(resolve) {
        LK.audio.decodeAudioData(bytes.slice().buffer, resolve, function() { resolve(null); });
      }).then(function(buffer) {
        if (!buffer) return -1;
        LK.buffers.push(buffer);
        LK.voices.push({file: file, source: null, loop: false, offset: 0, started: 0, paused: false});
        window.lark.audio.decoded.push(file);
        return LK.buffers.length - 1;
      });
    });
  },

  // Plays the decoded sound or music from its start (or from where a pause
  // left it), once or looping; a voice plays one source at a time.
  lk_web_audio_play__deps: ['$LK'],
  lk_web_audio_play: function(id, loop) {
    var v = LK.voices[id];
    if (!v) return;
    if (v.source) {
      v.source.onended = null;
      v.source.stop();
    }
    var source = LK.audio.createBufferSource();
    source.buffer = LK.buffers[id];
    source.loop = !!loop;
    source.connect(LK.master);
    source.onended = function() { if (v.source === source) v.source = null; };
    var offset = v.paused ? v.offset : 0;
    source.start(0, offset);
    v.source = source;
    v.loop = !!loop;
    v.paused = false;
    v.started = LK.audio.currentTime - offset;
    window.lark.audio.started++;
    if (LK.audio.state === 'running') LK.countPlayed(v);
  },

  lk_web_audio_stop__deps: ['$LK'],
  lk_web_audio_stop: function(id) {
    var v = LK.voices[id];
    if (!v) return;
    if (v.source) {
      v.source.onended = null;
      v.source.stop();
    }
    v.source = null;
    v.paused = false;
  },

  // Stops the voice and keeps where it was, so that play goes on from there.
  lk_web_audio_pause__deps: ['$LK'],
  lk_web_audio_pause: function(id) {
    var v = LK.voices[id];
    if (!v || !v.source) return;
    var length = LK.buffers[id].duration;
    var played = LK.audio.currentTime - v.started;
    v.offset = v.loop ? played % length : Math.min(played, length);
    v.source.onended = null;
    v.source.stop();
    v.source = null;
    v.paused = true;
  },

  lk_web_audio_resume__deps: ['$LK', 'lk_web_audio_play'],
  lk_web_audio_resume: function(id) {
    var v = LK.voices[id];
    if (v && v.paused) _lk_web_audio_play(id, v.loop);
  },
});
