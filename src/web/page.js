// The page of lsystem-viewer: its settings, link and buttons around the program, which draws.
'use strict';
// The page only gathers the settings and hands them to the program as its command line; the
// program reads them, reports what is wrong and draws.
var page = (function () {
  // The settings of the form and the link: text fields, then checkboxes ("1" when checked).
  var fields = ['grammar', 'generations', 'angle', 'step', 'origin', 'size', 'stochastic'];
  var boxes = ['fit', 'explore'];
  // A link holds them and the presses that the figure was edited with.
  var names = fields.concat(boxes, ['presses']);
  var maxSymbols = '33554432'; // the page's limit of the word: a link cannot freeze the tab
  var maxLines = 100;        // the output keeps the newest words
  var maxShown = 10000;      // a longer word is shown cut, with its length
  var canvas = document.getElementById('canvas');
  var output = document.getElementById('output');
  var statusLine = document.getElementById('status');
  var command = document.getElementById('command');
  var buttons = {};
  ['start', 'undo', 'save-svg', 'save-png', 'copy', 'copy-command'].forEach(function (id) {
    buttons[id] = document.getElementById(id);
  });
  var running = false;
  var newestWord = null;
  var errors = [];
  var started = {};  // the settings that the running program was started with

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
    return values;
  }

  function fillForm(values) {
    fields.forEach(function (name) { document.getElementById(name).value = values[name] || ''; });
    boxes.forEach(function (name) { document.getElementById(name).checked = values[name] === '1'; });
  }

  function setRunning(now) {
    running = now;
    buttons['save-svg'].disabled = !now;
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

  // Runs the program with the settings as its command line; an empty value keeps the default.
  function start(values) {
    var args = ['--max-symbols', maxSymbols];
    for (var i = 0; i < names.length; ++i) {
      var name = names[i];
      var value = values[name];
      if (!value) continue;
      if (boxes.indexOf(name) >= 0) {
        if (value !== '1') {
          say('The link\'s ' + name + ' is "' + value + '"; it can only be 1.');
          return false;
        }
        args.push('--' + name);
        continue;
      }
      if (value.indexOf('\0') >= 0) {
        say('The ' + name + ' holds a NUL character, which a command line cannot carry.');
        return false;
      }
      args.push('--' + name, value);
    }
    started = values;
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
    var values;
    try {
      values = readLink(location.hash.slice(1));
    } catch (error) {
      setRunning(false);
      Module.ccall('lsv_stop', null, [], []);
      clearFigure();
      say('This link cannot be read: ' + error.message + '.');
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

  // After a press that changed the word, or an undo: the address gets the presses that made the
  // figure, in place of the entry shown (Back still goes to the settings before), and the command
  // line that draws it on the desktop is shown.
  function edited(undoable) {
    buttons.undo.disabled = undoable === 0;
    var values = Object.assign({}, started);
    values.presses = Module.ccall('lsv_presses', 'string', [], []);
    var link = '#' + linkOf(values);
    if (location.hash !== link && !(location.hash === '' && link === '#')) {
      history.replaceState(null, '', link);
    }
    command.textContent = Module.ccall('lsv_command', 'string', [], []);
    buttons['copy-command'].disabled = false;
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
    if (!running || Module.ccall('lsv_save_svg', 'number', [], []) !== 0) return;
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

  // A press on the figure gives it the keyboard, so that a key ends the program only from there.
  canvas.addEventListener('mousedown', function () { canvas.focus(); });
  canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });

  return {
    print: print,
    printError: printError,
    // What the program said at its start, if anything (such as a word that draws nothing), stays.
    started: function () {
      setRunning(true);
      say(errors.length ? errors.join('\n') : 'Running. Point at the figure.');
    },
    edited: edited,
    ended: function () {
      setRunning(false);
      say('The program has ended. Start runs it again.');
    },
    ready: function () {
      document.getElementById('keys').textContent = Module.ccall('lsv_keys', 'string', [], []);
      startFromLink();
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
