// The page's side of the browser backend: canvases, fullscreen, keys, focus, boxes, sound and
// the presenting of frames, called from backend.cpp. The page (page.js) keeps what outlives a
// call in `Quorvane` (window.quorvane): the surfaces, the queue of events, the sounds.

// The program's GL is our own layer (gl_layer.h), which reaches WebGL only under the
// emscripten_gl* names. The plain names go, so that a GL call the layer does not define fails to
// link instead of reaching WebGL behind the layer's back.
for (var name in LibraryManager.library) {
  if (/^gl[A-Z]/.test(name)) delete LibraryManager.library[name];
}

mergeInto(LibraryManager.library, {
  $QV__postset: 'QV.init();',
  $QV__deps: ['$GL'],
  $QV: {
    nextId: 1,
    surfaces: {},  // id -> {canvas, coversDisplay, width, height}
    events: [],    // [type, id, a, b, c, d]
    event: {},     // the types' codes, as the backend's enum gives them (qv_set_event_codes)
    afterFrame: [],  // events queued once the next frame is presented
    keys: null,

    init: function() {
      var q = window.quorvane;
      QV.keys = {
        Escape: 27, Enter: 13, NumpadEnter: 13, Space: 32, Tab: 9, Backspace: 8, Pause: 19,
        CapsLock: 20, PageUp: 33, PageDown: 34, End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38,
        ArrowRight: 39, ArrowDown: 40, Insert: 45, Delete: 46, ShiftLeft: 16, ShiftRight: 16,
        ControlLeft: 17, ControlRight: 17, AltLeft: 18, AltRight: 18,
      };
      for (var f = 1; f <= 12; ++f) QV.keys['F' + f] = 0x6F + f;
      var onKey = function(event) {
        if (q.boxOpen) return;  // the box answers its own keys
        var vk = QV.virtualKey(event);
        var surface = QV.current();
        if (!vk || !surface) return;
        // F1 would open the browser's help, Tab move the focus, Space scroll the page.
        event.preventDefault();
        if (event.type === 'keydown' && !event.repeat) QV.beforeSwitch(vk, surface);
        QV.events.push([QV.event.key, surface.id, vk, event.type === 'keydown' ? 1 : 0,
                        event.repeat ? 1 : 0, event.altKey ? 1 : 0]);
      };
      window.addEventListener('keydown', onKey);
      window.addEventListener('keyup', onKey);
      window.addEventListener('focus', function() { QV.tell(QV.event.focus, 1); });
      window.addEventListener('blur', function() { QV.tell(QV.event.focus, 0); });
      document.addEventListener('visibilitychange', function() {
        QV.tell(document.hidden ? QV.event.minimized : QV.event.restored, 0);
      });
      var fullscreenChanged = function() {
        var surface = QV.current();
        // The stage changed size with the fullscreen state: a window's canvas made meanwhile
        // takes its size at once, not a frame later.
        if (surface) QV.fit(surface);
        if (!surface || !surface.coversDisplay || QV.fullscreenElement()) return;
        // The browser left fullscreen by itself: it keeps Escape for that, and the user who
        // pressed it meant to leave. The program gets the Escape it would have had.
        QV.events.push([QV.event.key, surface.id, 27, 1, 0, 0], [QV.event.key, surface.id, 27, 0, 0, 0]);
      };
      document.addEventListener('fullscreenchange', fullscreenChanged);
      document.addEventListener('webkitfullscreenchange', fullscreenChanged);
      // The page's key controls, for touch and mouse: a press goes down now and comes up once
      // the program has presented a frame, so it has seen the key down, as from a keyboard.
      q.pressKey = function(name) {
        var surface = QV.current();
        var vk = QV.keys[name];
        if (!surface || !vk || q.boxOpen) return;
        QV.beforeSwitch(vk, surface);
        QV.events.push([QV.event.key, surface.id, vk, 1, 0, 0]);
        QV.afterFrame.push([QV.event.key, surface.id, vk, 0, 0, 0]);
      };
      // The drawing buffer follows the canvas's size on screen and the device's pixels: a
      // rotated phone, a zoom, a move to another monitor, the page leaving fullscreen. The
      // program's core picks the new size up at its next frame.
      var refit = function() {
        var surface = QV.current();
        if (surface) QV.fit(surface);
      };
      window.addEventListener('resize', refit);
      QV.sizes = window.ResizeObserver ? new ResizeObserver(refit) : null;
      var watchRatio = function() {
        var ratio = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
        var changed = function() {
          ratio.removeEventListener('change', changed);
          refit();
          watchRatio();
        };
        ratio.addEventListener('change', changed);
      };
      if (window.matchMedia) watchRatio();
    },

    virtualKey: function(event) {
      var code = event.code || '';
      if (/^Key[A-Z]$/.test(code)) return code.charCodeAt(3);
      if (/^Digit[0-9]$/.test(code)) return code.charCodeAt(5);
      return QV.keys[code] || 0;
    },

    // The surface the user sees: the newest one.
    current: function() {
      var newest = null;
      for (var id in QV.surfaces) newest = QV.surfaces[id];
      return newest;
    },

    tell: function(type, value) {
      var surface = QV.current();
      if (surface) QV.events.push([type, surface.id, value, 0, 0, 0]);
    },

    // F1 in a window switches the program to fullscreen at its next frame. Firefox lets a page
    // go fullscreen only within the handler of the key or click itself, so the page goes ahead
    // of the program there and then; the covering surface then finds it fullscreen.
    beforeSwitch: function(vk, surface) {
      if (vk !== QV.keys.F1 || surface.coversDisplay || QV.fullscreenElement() ||
          !QV.fullscreenEnabled()) {
        return;
      }
      QV.requestFullscreen(document.getElementById('player')).catch(function() {});
    },

    // Fullscreen as each engine names it: unprefixed, or with WebKit's prefix.
    fullscreenElement: function() {
      return document.fullscreenElement || document.webkitFullscreenElement || null;
    },

    fullscreenEnabled: function() {
      return !!(document.fullscreenEnabled || document.webkitFullscreenEnabled);
    },

    requestFullscreen: function(element) {
      if (element.requestFullscreen) return element.requestFullscreen({navigationUI: 'hide'});
      if (element.webkitRequestFullscreen) {
        // The prefixed call returns nothing: its answer is the next change or error event.
        return new Promise(function(resolve, reject) {
          var done = function(event) {
            document.removeEventListener('webkitfullscreenchange', done);
            document.removeEventListener('webkitfullscreenerror', done);
            if (event.type === 'webkitfullscreenchange') resolve(); else reject(new Error('refused'));
          };
          document.addEventListener('webkitfullscreenchange', done);
          document.addEventListener('webkitfullscreenerror', done);
          element.webkitRequestFullscreen();
        });
      }
      return Promise.reject(new Error('no fullscreen'));
    },

    exitFullscreen: function() {
      if (document.exitFullscreen) return document.exitFullscreen().catch(function() {});
      if (document.webkitExitFullscreen) document.webkitExitFullscreen();
    },

    // A canvas's drawing buffer has the device's pixels of its size on screen: the whole
    // screen (or, outside fullscreen, the page) for one covering the display, the stage for a
    // window, which the page keeps at 640x480 CSS pixels where the viewport has room and
    // smaller, 4:3 kept, where it has not. The program's core scales its picture to it.
    fit: function(surface) {
      var ratio = window.devicePixelRatio || 1;
      var width = window.innerWidth, height = window.innerHeight;
      if (!surface.coversDisplay) {
        var box = surface.canvas.getBoundingClientRect();
        width = box.width;
        height = box.height;
      }
      width = Math.max(1, Math.round(width * ratio));
      height = Math.max(1, Math.round(height * ratio));
      if (surface.canvas.width !== width) surface.canvas.width = width;
      if (surface.canvas.height !== height) surface.canvas.height = height;
    },
  },

  qv_open_surface__deps: ['$QV'],
  qv_open_surface: function(title, width, height, visible, coversDisplay) {
    var stage = document.getElementById('stage');
    var player = document.getElementById('player');
    var canvas = document.createElement('canvas');
    var id = QV.nextId++;
    canvas.id = 'qv-surface-' + id;
    canvas.tabIndex = 0;
    canvas.setAttribute('aria-label', UTF8ToString(title));
    if (!visible) canvas.style.visibility = 'hidden';
    var surface = {id: id, canvas: canvas, coversDisplay: !!coversDisplay, width: width,
                   height: height};
    if (coversDisplay) {
      canvas.className = 'covering';
      stage.appendChild(canvas);
      QV.fit(surface);
      // Within the click or key that asked for it, the browser lets the page go fullscreen.
      // Already there where the page went ahead of the program (see beforeSwitch).
      var shown = QV.fullscreenElement() === player ? Promise.resolve()
                                                    : QV.requestFullscreen(player);
      shown.then(function() {
        QV.fit(surface);
        // Where the browser allows it, Escape reaches the program, as on Windows.
        if (navigator.keyboard && navigator.keyboard.lock) {
          navigator.keyboard.lock(['Escape']).catch(function() {});
        }
      }, function() {
        // Refused (a frame that does not allow it, or no user gesture): the picture fills the
        // page instead.
        QV.fit(surface);
      });
    } else {
      // A window after a fullscreen the page went into ahead of the program (which then made
      // no covering surface, its mode refused): the page leaves it.
      if (QV.fullscreenElement()) QV.exitFullscreen();
      stage.appendChild(canvas);
      QV.fit(surface);
    }
    if (QV.sizes) QV.sizes.observe(canvas);
    QV.surfaces[id] = surface;
    return id;
  },

  qv_close_surface__deps: ['$QV'],
  qv_close_surface: function(id) {
    var surface = QV.surfaces[id];
    if (!surface) return;
    delete QV.surfaces[id];
    if (surface.coversDisplay && QV.fullscreenElement()) {
      if (navigator.keyboard && navigator.keyboard.unlock) navigator.keyboard.unlock();
      QV.exitFullscreen();
    }
    if (QV.sizes) QV.sizes.unobserve(surface.canvas);
    surface.canvas.remove();
    QV.events = QV.events.filter(function(event) { return event[1] !== id; });
  },

  qv_show_surface__deps: ['$QV'],
  qv_show_surface: function(id, visible) {
    var surface = QV.surfaces[id];
    if (surface) surface.canvas.style.visibility = visible ? '' : 'hidden';
  },

  qv_focus_surface__deps: ['$QV'],
  qv_focus_surface: function(id) {
    var surface = QV.surfaces[id];
    if (surface) surface.canvas.focus({preventScroll: true});
  },

  // A window keeps the client area it was made with, in the program's pixels, whatever the
  // canvas's size on screen: the picture is scaled to that.
  qv_surface_size__deps: ['$QV'],
  qv_surface_size: function(id, width, height) {
    var surface = QV.surfaces[id];
    HEAP32[width >> 2] = surface ? surface.width : 0;
    HEAP32[height >> 2] = surface ? surface.height : 0;
  },

  qv_drawable_size__deps: ['$QV'],
  qv_drawable_size: function(id, width, height) {
    var surface = QV.surfaces[id];
    HEAP32[width >> 2] = surface ? surface.canvas.width : 0;
    HEAP32[height >> 2] = surface ? surface.canvas.height : 0;
  },

  qv_desktop_mode: function(width, height, bits) {
    // A page that may not go fullscreen has no display mode to offer.
    if (!QV.fullscreenEnabled()) return 0;
    var ratio = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = Math.round(screen.width * ratio);
    HEAP32[height >> 2] = Math.round(screen.height * ratio);
    HEAP32[bits >> 2] = 24;
    return 1;
  },

  qv_show_cursor__deps: ['$QV'],
  qv_show_cursor: function(visible) {
    document.getElementById('stage').style.cursor = visible ? '' : 'none';
  },

  qv_next_event__deps: ['$QV'],
  qv_next_event: function(fields) {
    var event = QV.events.shift();
    if (!event) return 0;
    for (var i = 1; i < 6; ++i) HEAP32[(fields >> 2) + i - 1] = event[i];
    return event[0];
  },

  // With none of the program's contexts current, a context nobody sees is, made once: the GL
  // layer compiles its shaders there while the program's first question waits, and what reaches
  // WebGL then finds a context.
  qv_make_current__deps: ['$QV', '$GL'],
  qv_make_current: function(handle) {
    if (!handle) {
      if (!QV.placeholder) {
        QV.placeholder = GL.createContext(document.createElement('canvas'),
                                          {majorVersion: 1, alpha: false, depth: false});
      }
      GL.makeContextCurrent(QV.placeholder);
      return 1;
    }
    return GL.makeContextCurrent(handle) ? 1 : 0;
  },

  qv_delete_context__deps: ['$QV', '$GL'],
  qv_delete_context: function(handle) {
    var context = GL.getContext(handle);
    if (!context) return;
    // Browsers keep only a few WebGL contexts: this one's resources go now, not at some
    // collection.
    var lose = context.GLctx.getExtension('WEBGL_lose_context');
    if (GL.currentContext === context) GL.makeContextCurrent(QV.placeholder || 0);
    GL.deleteContext(handle);
    if (lose) lose.loseContext();
  },

  qv_present__deps: ['$QV'],
  qv_present__sig: 'vii',
  qv_present: function(id, clockMs) {
    window.quorvane.framePresented(QV.surfaces[id], clockMs >>> 0);
    while (QV.afterFrame.length) QV.events.push(QV.afterFrame.shift());
  },

  // The program asks Windows to keep the screen saver off while its window is active; a page
  // asks for a screen wake lock.
  qv_allow_screen_saver: function(allowed) { window.quorvane.keepAwake(!allowed); },

  // The frame is shown once the page's script lets go: the program waits for the next
  // animation frame (or, on a test's fixed clock, only for the page's other work to run).
  qv_present_after: function(id) {
    return Asyncify.handleAsync(function() { return window.quorvane.nextFrame(); });
  },

  qv_show_box: function(caption, text, yesNo, icon) {
    return Asyncify.handleAsync(function() {
      return window.quorvane.showBox(UTF8ToString(caption), UTF8ToString(text), !!yesNo, icon);
    });
  },

  // 1 once the file plays (or, waited for, has played); 0 with the reason in `why` when the
  // page cannot play it.
  qv_play_sound: function(path, wait, why, whySize) {
    return Asyncify.handleAsync(function() {
      return window.quorvane.playSound(UTF8ToString(path), !!wait).then(function(played) {
        if (played.reason) stringToUTF8(played.reason, why, whySize);
        return played.reason ? 0 : 1;
      });
    });
  },

  qv_play_default_sound: function(wait) {
    return Asyncify.handleAsync(function() { return window.quorvane.playDefaultSound(!!wait); });
  },

  qv_stop_sound: function() { window.quorvane.stopSound(); },

  qv_set_default_sound: function(samples, frames, rate) {
    window.quorvane.setDefaultSound(HEAP16.subarray(samples >> 1, (samples >> 1) + frames * 2),
                                    rate);
  },

  qv_fixed_fps: function() { return window.quorvane.fixedFps; },

  qv_set_event_codes__deps: ['$QV'],
  qv_set_event_codes: function(key, focus, minimized, restored) {
    QV.event = {key: key, focus: focus, minimized: minimized, restored: restored};
  },

  qv_program_started: function() { window.quorvane.programStarted(); },

  qv_program_ended: function(status) { window.quorvane.programEnded(status); },
});
