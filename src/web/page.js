// The page of lsystem-viewer: its settings, link and buttons around the program, which draws.
'use strict';
// The page only gathers the settings and hands them to the program as its command line; the
// program reads them, reports what is wrong and draws.
var page = (function () {
  // The settings of the form and the link: text fields and the notation ("1" for the book's),
  // then checkboxes ("1" when checked).
  var fields = ['book', 'grammar', 'generations', 'angle', 'step', 'origin', 'size', 'stochastic',
                'width', 'segments', 'buds', 'moves', 'heading'];
  var boxes = ['fit', 'explore', 'lines', 'paper'];
  // The three colour inputs, which a link writes as one setting, colours=BACK,SEGMENT,BUD, when
  // one of them is not its default.
  var colourInputs = ['colour-background', 'colour-segment', 'colour-bud'];
  var defaultColours = '#000000,#663300,#00ff00';
  // A link holds them, in this order, and the presses that the figure was edited with. With the
  // book's notation the grammar is the text of a file.
  var names = ['book', 'grammar', 'generations', 'angle', 'step', 'origin', 'size', 'stochastic',
               'fit', 'explore', 'lines', 'width', 'segments', 'buds', 'moves', 'heading', 'colours',
               'paper', 'presses'];
  var maxSymbols = '33554432'; // the page's limit of the word: a link cannot freeze the tab
  var bookFile = 'book.lsys';  // the file of the figure's text, in the book's notation
  var galleryFile = 'gallery.lsys';  // and of an example's, for its picture
  var maxLines = 100;        // the output keeps the newest words
  var maxShown = 10000;      // a longer word is shown cut, with its length
  var canvas = document.getElementById('canvas');
  var output = document.getElementById('output');
  var statusLine = document.getElementById('status');
  var command = document.getElementById('command');
  var work = document.getElementById('work');
  var angleField = document.getElementById('angle');
  var angleSlider = document.getElementById('angle-slider');
  var generationsField = document.getElementById('generations');
  var generationsSlider = document.getElementById('generations-slider');
  var defaultDegrees = '28.65';  // 0.5 radian, the program's default angle
  var notation = document.getElementById('book');
  var grammarField = document.getElementById('grammar');
  var placeholders = { '': grammarField.placeholder, '1': 'axiom: F\nF -> F[+F]F[-F]F' };
  var fileAngle = '';  // the angle of the figure's book, which the link leaves to the text
  var pictures = Array.prototype.slice.call(document.querySelectorAll('#examples canvas'));
  var picture = null;  // the canvas that the program's next picture goes on
  var keyButtons = Array.prototype.slice.call(document.querySelectorAll('[data-key]'));
  var buttons = {};
  ['start', 'undo', 'save-svg', 'save-png', 'copy', 'copy-command'].forEach(function (id) {
    buttons[id] = document.getElementById(id);
  });
  var running = false;
  var newestWord = null;
  var errors = [];
  var started = {};  // the settings that the running program was started with
  var pendingAngle = null;  // the angle slider's newest value, for the next animation frame
  var linkReplaced = -Infinity;  // when an edit last replaced the address
  var linkTimer = null;          // the newest edit's address, when it had to wait

  function say(text) { statusLine.textContent = text; }

  // The settings of a link's fragment: name=value pairs, values percent-encoded UTF-8. Only
  // percent-decoded: a "+" typed into the address stays a "+", which grammars are full of.
  function readLink(fragment) {
    var values = {};
    if (fragment === '') return values;
    fragment.split('&').forEach(function (pair) {
      var at = pair.indexOf('=');
      var name = at < 0 ? pair : pair.slice(0, at);
      if (names.indexOf(name) < 0) throw new Error('the link names no setting "' + name + '"');
      try {
        values[name] = decodeURIComponent(at < 0 ? '' : pair.slice(at + 1));
      } catch (error) {
        throw new Error('the link\'s ' + name + ' is not percent-encoded UTF-8');
      }
    });
    return values;
  }

  function linkOf(values) {
    return names.filter(function (name) { return values[name]; }).map(function (name) {
      return name + '=' + encodeURIComponent(values[name]);
    }).join('&');
  }

  function formValues() {
    var values = {};
    fields.forEach(function (name) { values[name] = document.getElementById(name).value; });
    boxes.forEach(function (name) { values[name] = document.getElementById(name).checked ? '1' : ''; });
    var colours = colourInputs.map(function (id) { return document.getElementById(id).value; });
    values.colours = colours.join(',') === defaultColours ? '' : colours.join(',');
    return values;
  }

  function fillForm(values) {
    fields.forEach(function (name) { document.getElementById(name).value = values[name] || ''; });
    boxes.forEach(function (name) { document.getElementById(name).checked = values[name] === '1'; });
    // A colour input takes only #rrggbb: the program refuses any other text of the link.
    var colours = (values.colours || defaultColours).split(',');
    colourInputs.forEach(function (id, i) {
      document.getElementById(id).value = /^#[0-9a-fA-F]{6}$/.test(colours[i] || '') ? colours[i] : '#000000';
    });
    showNotation();
    followFields();
  }

  // The text area's example and size follow the notation.
  function showNotation() {
    grammarField.placeholder = placeholders[notation.value] || '';
    grammarField.classList.toggle('book', notation.value === '1');
  }

  // The sliders show the fields' values, or what an empty field stands for, its placeholder.
  function followFields() {
    var generations = Number(generationsField.value || generationsField.placeholder);
    var degrees = Number(angleField.value || angleField.placeholder);
    if (isFinite(generations)) generationsSlider.value = generations;
    if (isFinite(degrees)) angleSlider.value = degrees;
  }

  function exploring() { return running && started.explore === '1'; }

  function setRunning(now) {
    running = now;
    buttons['save-svg'].disabled = !now;
    keyButtons.forEach(function (button) { button.disabled = !exploring(); });
    if (!now) {
      buttons.undo.disabled = true;
      buttons['copy-command'].disabled = true;
      command.textContent = '';
    }
  }

  function clearFigure() {
    var context = canvas.getContext('2d');
    context.fillStyle = '#000';
    context.fillRect(0, 0, canvas.width, canvas.height);
  }

  // Settings that cannot start: the program before stops and its figure goes, so that neither
  // the buttons nor the address go on with it under the form's new values.
  function refuse(text) {
    clearTimeout(linkTimer);
    setRunning(false);
    Module.ccall('lsv_stop', null, [], []);
    clearFigure();
    say(text);
    return false;
  }

  // The command line of the settings, an empty value the default's; with the book's notation the
  // text is written to `file`, which --book reads. Throws what a command line cannot take.
  function argumentsOf(values, file) {
    var args = ['--max-symbols', maxSymbols];
    names.forEach(function (name) {
      var value = values[name] || '';
      var box = name === 'book' || boxes.indexOf(name) >= 0;
      if (box && value !== '' && value !== '1') {
        throw new Error('The link\'s ' + name + ' is "' + value + '"; it can only be 1.');
      }
      if (value.indexOf('\0') >= 0) {
        throw new Error('The ' + name +
                        ' holds a NUL character, which a command line cannot carry.');
      }
      if (name === 'grammar' && values.book) {
        FS.writeFile(file, value);
        args.push('--book', file);
      } else if (value !== '' && name !== 'book') {
        args.push.apply(args, box ? ['--' + name] : ['--' + name, value]);
      }
    });
    return args;
  }

  // Runs the program with the settings as its command line.
  function start(values) {
    var args;
    try {
      args = argumentsOf(values, bookFile);
    } catch (error) {
      return refuse(error.message);
    }
    started = values;
    clearTimeout(linkTimer);  // the address of an edit of the figure before is not shown
    errors = [];
    output.textContent = '';
    newestWord = null;
    buttons.copy.disabled = true;
    setRunning(false);
    var status = Module.callMain(args);
    if (!running) {
      clearFigure();
      say(errors.length ? errors.join('\n') : 'The program ended with status ' + status + '.');
      return false;
    }
    return true;
  }

  function startFromLink() {
    // A link written with "?" in place of "#" is read as the "#" form, and the address shows it
    // so; beside a "#", the "#" is read.
    if (location.search !== '') {
      var fragment = location.hash || '#' + location.search.slice(1);
      history.replaceState(null, '', location.pathname + fragment);
    }
    var values;
    try {
      values = readLink(location.hash.slice(1));
    } catch (error) {
      refuse('This link cannot be read: ' + error.message + '.');
      return;
    }
    fillForm(values);
    start(values);
  }

  // A line of standard output: one word.
  function print(text) {
    newestWord = text;
    buttons.copy.disabled = false;
    var line = document.createElement('div');
    line.textContent = text.length > maxShown
      ? text.slice(0, maxShown) + '\u2026 (' + text.length + ' symbols)'
      : text;
    output.appendChild(line);
    while (output.childNodes.length > maxLines) output.removeChild(output.firstChild);
    output.scrollTop = output.scrollHeight;
  }

  // A line of standard error: what the program refused, or why it could not start.
  function printError(text) {
    if (/^Try 'lsystem-viewer --help'/.test(text)) return;
    errors.push(text);
    say(text);
  }

  function download(blob, name) {
    var link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 1000);
  }

  // Browsers refuse more than 100 to 200 changes of the address in 10 seconds, and the angle
  // slider or a key held down edits every frame: an edit's address waits until 120 ms have
  // passed since the last one, and only the newest waiting one is shown.
  function showLink(link) {
    clearTimeout(linkTimer);
    var wait = linkReplaced + 120 - performance.now();
    if (wait > 0) {
      linkTimer = setTimeout(function () { showLink(link); }, wait);
    } else if (location.hash !== link && !(location.hash === '' && link === '#')) {
      linkReplaced = performance.now();
      history.replaceState(null, '', link);
    }
  }

  // After an edit (a press that changed the word, a growth, an undo, a turn of the angle): the
  // address gets the angle and the presses that made the figure, in place of the entry shown (Back
  // still goes to the settings before), the Angle field and its slider the angle unless the slider
  // has moved on, and the command line that draws it on the desktop is shown.
  function edited(undoable) {
    buttons.undo.disabled = undoable === 0;
    var values = Object.assign({}, started);
    var angle = Module.ccall('lsv_angle', 'string', [], []);
    values.angle = angle === fileAngle ? '' : angle;
    values.presses = Module.ccall('lsv_presses', 'string', [], []);
    if (pendingAngle === null) {
      angleField.value = values.angle;
      followFields();
    }
    showLink('#' + linkOf(values));
    command.textContent = Module.ccall('lsv_command', 'string', [], []);
    buttons['copy-command'].disabled = false;
  }

  // With Explore and no size, the window takes the width that the page has for it, up to 600, and
  // two thirds of that as its height; at the start, the program fits a fitted figure to it.
  function fitCanvas() {
    if (!exploring() || started.size) return;
    var width = Math.max(16, Math.min(600, Math.floor(work.clientWidth)));
    var height = Math.floor(width * 2 / 3);
    if (width === canvas.width && height === canvas.height) return;
    Module.ccall('lsv_resize', null, ['number', 'number'], [width, height]);
  }

  // The newest angle of the slider, at most once an animation frame: the program redraws the
  // same word in the frame after.
  function turnAngle() {
    var degrees = pendingAngle;
    pendingAngle = null;
    if (running) Module.ccall('lsv_set_angle', 'number', ['number'], [degrees]);
  }

  // The gallery: each example's picture drawn small by the program, as many an animation frame as
  // take 8 ms, and at least one.
  function drawPictures() {
    var began = performance.now();
    do {
      picture = pictures.shift();
      try {
        var args = argumentsOf(readLink(picture.closest('a').hash.slice(1)), galleryFile);
        if (args.every(function (arg) { return arg.indexOf('\n') < 0; })) {
          Module.ccall('lsv_thumbnail', 'number', ['string', 'number', 'number'],
                       [args.join('\n'), picture.width, picture.height]);
        }
      } catch (error) {
        // an example that does not start keeps its blank picture
      }
    } while (pictures.length > 0 && performance.now() - began < 8);
    picture = null;
    if (pictures.length > 0) requestAnimationFrame(drawPictures);
  }

  function copy(text, what) {
    navigator.clipboard.writeText(text).then(function () {
      say('Copied ' + what + '.');
    }, function () {
      say('The browser did not allow copying.');
    });
  }

  document.getElementById('settings').addEventListener('submit', function (event) {
    event.preventDefault();
    var values = formValues();
    var link = '#' + linkOf(values);
    // The link of what is started, as a new history entry unless it is the one shown already.
    if (location.hash !== link && !(location.hash === '' && link === '#')) {
      history.pushState(null, '', link);
    }
    start(values);
  });
  window.addEventListener('hashchange', startFromLink);
  notation.addEventListener('change', showNotation);

  // An example is a link; one to the figure shown already starts it again.
  document.getElementById('examples').addEventListener('click', function (event) {
    var link = event.target.closest('a');
    if (link === null || link.hash !== location.hash) return;
    event.preventDefault();
    startFromLink();
  });

  buttons.undo.addEventListener('click', function () {
    if (running) Module.ccall('lsv_undo', null, [], []);
  });
  buttons['save-svg'].addEventListener('click', function () {
    var saved = running ? Module.ccall('lsv_save_svg', 'number', [], []) : 1;
    if (saved === 2) {
      say('The SVG would be larger than the page\'s limit of 64 MiB: the command line "On the ' +
          'desktop" draws this figure, and with --svg FILE writes it at any size.');
    }
    if (saved !== 0) return;
    var bytes = FS.readFile('/lsystem.svg');
    FS.unlink('/lsystem.svg');
    download(new Blob([bytes], { type: 'image/svg+xml' }), 'lsystem.svg');
  });
  buttons['save-png'].addEventListener('click', function () {
    canvas.toBlob(function (blob) { if (blob) download(blob, 'lsystem.png'); }, 'image/png');
  });
  buttons.copy.addEventListener('click', function () {
    if (newestWord !== null) copy(newestWord, 'the newest word, ' + newestWord.length + ' symbols');
  });
  buttons['copy-command'].addEventListener('click', function () {
    if (command.textContent !== '') copy(command.textContent, 'the command line');
  });

  keyButtons.forEach(function (button) {
    button.addEventListener('click', function () {
      if (exploring()) Module.ccall('lsv_key', null, ['string'], [button.dataset.key]);
    });
  });

  angleSlider.addEventListener('input', function () {
    angleField.value = angleSlider.value;
    if (pendingAngle === null) requestAnimationFrame(turnAngle);
    pendingAngle = Number(angleSlider.value);
  });
  // Each step starts the program again, as Start does but in place of the link shown: while the
  // slider is dragged, only its field follows.
  generationsSlider.addEventListener('input', function () {
    generationsField.value = generationsSlider.value;
  });
  generationsSlider.addEventListener('change', function () {
    generationsField.value = generationsSlider.value;
    var values = formValues();
    start(values);
    showLink('#' + linkOf(values));
  });
  [generationsField, angleField].forEach(function (field) {
    field.addEventListener('input', followFields);
  });

  // With Explore, the fingers on the figure go to the program, which pans, zooms and taps, and
  // neither scroll nor zoom the page; caught before SDL's own listener, which would make mouse
  // presses of them. Without Explore, SDL's listener makes a tap a press.
  var touchTypes = { touchstart: 0, touchmove: 1, touchend: 2, touchcancel: 2 };
  Object.keys(touchTypes).forEach(function (type) {
    window.addEventListener(type, function (event) {
      if (event.target !== canvas || !exploring()) return;
      event.preventDefault();
      event.stopPropagation();
      if (type === 'touchstart') canvas.focus({ preventScroll: true });
      // The canvas pixel under the finger, as a mouse point is read.
      var box = canvas.getBoundingClientRect();
      for (var i = 0; i < event.changedTouches.length; ++i) {
        var touch = event.changedTouches[i];
        Module.ccall('lsv_touch', null, ['number', 'number', 'number', 'number'], [
          touchTypes[type], touch.identifier,
          (touch.clientX - box.left) * (canvas.width / box.width) | 0,
          (touch.clientY - box.top) * (canvas.height / box.height) | 0]);
      }
    }, { capture: true, passive: false });
  });
  if (window.ResizeObserver) {
    new ResizeObserver(function () { fitCanvas(); }).observe(work);
  } else {
    window.addEventListener('resize', function () { fitCanvas(); });
  }

  // A press on the figure gives it the keyboard, so that a key ends the program only from there.
  canvas.addEventListener('mousedown', function () { canvas.focus(); });
  canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });

  return {
    print: print,
    printError: printError,
    // What the program said at its start, if anything (such as a word that draws nothing), stays.
    started: function () {
      setRunning(true);
      // What empty Generations and Angle fields stand for: the book's own values, if any.
      if (!started.generations) {
        generationsField.placeholder = Module.ccall('lsv_generations', 'number', [], []);
      }
      fileAngle = started.angle ? '' : Module.ccall('lsv_angle', 'string', [], []);
      if (!started.angle) angleField.placeholder = fileAngle || defaultDegrees;
      followFields();
      fitCanvas();
      say(errors.length ? errors.join('\n') : 'Running. Point at the figure.');
    },
    edited: edited,
    ended: function () {
      setRunning(false);
      say('The program has ended. Start runs it again.');
    },
    ready: function () {
      document.getElementById('keys').textContent = Module.ccall('lsv_keys', 'string', [], []);
      document.querySelectorAll('[data-key], [data-title-key]').forEach(function (button) {
        var key = button.dataset.key || button.dataset.titleKey;
        button.title = Module.ccall('lsv_key_title', 'string', ['string'], [key]);
      });
      startFromLink();
      // After the figure's first frame.
      if (pictures.length > 0) {
        requestAnimationFrame(function () { requestAnimationFrame(drawPictures); });
      }
    },
    thumbnail: function (image) {
      if (picture !== null) picture.getContext('2d').putImageData(image, 0, 0);
    },
  };
})();

var Module = {
  canvas: document.getElementById('canvas'),
  keyboardListeningElement: document.getElementById('canvas'),
  noInitialRun: true,
  print: page.print,
  printErr: page.printError,
  onRuntimeInitialized: page.ready,
};
