// The page's behaviour: the message in, the report, the explanation and
// the JSON out, through the WebAssembly decoder, and the message to edit.
// Only the definitions and the settings are kept (localStorage); a message
// or an edit never is.
// `shippedDialects` (name → definition text), `shippedSamples` (name →
// {dialect, hex}), `wasmBinary` (the module's bytes), `createIso8583Module`,
// `bindIso8583`, `MessageEditor`, `PageGuess`, `hintReading`, `hintWords`,
// `showGuess` and `showDiff` come before this script in the page.

const storageKeys = { settings: 'iso8583.settings', definitions: 'iso8583.definitions' };
const customDialect = 'custom';
const byId = (id) => document.getElementById(id);

// Whatever the module writes on standard error during a call: its notes.
const notes = [];
const wasmModule = await createIso8583Module({ wasmBinary, printErr: (line) => notes.push(line) });
const { openDecoder, readHexdump, openGuess } = bindIso8583(wasmModule);
const pageGuess = new PageGuess(openGuess, shippedDialects);

let decoder = null;
let lastJson = '';
let opened = null;  // the message from a file that the input shows: {hex, bytes}
let definitionsInUse = null;

function loadSettings() {
  try {
    return JSON.parse(localStorage.getItem(storageKeys.settings)) || {};
  } catch {
    return {};
  }
}

function saveSettings() {
  const settings = { dialect: byId('dialect').value, mask: byId('mask').checked, view: currentView() };
  localStorage.setItem(storageKeys.settings, JSON.stringify(settings));
}

// ---- definitions -------------------------------------------------------

function fillDialects(selected) {
  const select = byId('dialect');
  for (const name of Object.keys(shippedDialects).sort()) select.add(new Option(name, name));
  select.add(new Option('自定义 · your own', customDialect));
  select.value = selected in shippedDialects || selected === customDialect ? selected : Object.keys(shippedDialects).sort()[0];
}

function definitionText() {
  const dialect = byId('dialect').value;
  if (dialect === customDialect) return localStorage.getItem(storageKeys.definitions) || '';
  return shippedDialects[dialect];
}

// Reads the definitions `text`, which the definitions box shows; an invalid
// line is shown with its number.
function useDefinitions(text) {
  if (decoder) decoder.close();
  decoder = null;
  definitionsInUse = byId('definitions').value;  // as the box holds it: line ends made LF
  try {
    decoder = openDecoder(text);
    byId('definitions-error').textContent = '';
  } catch (error) {
    const line = /^line (\d+): (.*)$/.exec(error.message);
    byId('definitions-error').textContent = line
      ? `定义文件第 ${line[1]} 行有误 · definition file, line ${line[1]}: ${line[2]}`
      : error.message;
    byId('definitions-box').open = true;
  }
}

function showDialect() {
  const text = definitionText();
  byId('definitions').value = text;
  useDefinitions(text);
}

function editDefinitions() {
  const text = byId('definitions').value;
  localStorage.setItem(storageKeys.definitions, text);
  byId('dialect').value = customDialect;
  saveSettings();
  useDefinitions(text);
}

// ---- decoding ----------------------------------------------------------

const editor = new MessageEditor({
  masked: () => byId('mask').checked,
  unmask: () => {
    byId('mask').checked = false;
    showMasking();
  },
});

function showNotes(extra = []) {
  byId('notes').textContent = [...notes, ...extra].join('\n');
  notes.length = 0;
}

// Decodes the message into the views and opens it in the editor.
function decodeMessage() {
  notes.length = 0;
  if (byId('definitions').value !== definitionsInUse) editDefinitions();
  const input = showDecoded();
  if (input === null) {
    editor.close('定义文件有误 · the definitions have an error');
    return;
  }
  const message = decoder.decode(input);
  notes.length = 0;
  if (message.result === 'unpacked') editor.open(decoder, message);
  else editor.close(`只能编辑解包成功的报文 · only a message that unpacks can be edited: ${message.error ? rejections[message.error] : resultInWords(message)}`);
}

// Shows the decoded message in the views, masked or not; returns the input
// decoded, or null without definitions.
function showDecoded() {
  if (!decoder) {
    for (const id of ['report', 'json', 'explanation']) byId(id).replaceChildren();
    lastJson = '';
    showNotes(['定义文件有误，无法解析 · the definitions have an error']);
    showHint(null);
    showDiff(null);
    return null;
  }
  const text = byId('message').value;
  // A message from a file is decoded from its bytes while it is shown unchanged.
  const input = opened && opened.hex === text ? opened.bytes : text;
  const mask = byId('mask').checked;
  const report = decoder.report(input, { mask });
  notes.length = 0;  // the JSON's decode notes the same again
  lastJson = decoder.decodeLine(input, { explain: true, mask });
  const message = JSON.parse(lastJson);
  byId('report').textContent = report;
  byId('json').textContent = JSON.stringify(message, null, 2);
  renderExplanation(message);
  showNotes();
  const ranking = pageGuess.ranking(input, byId('dialect').value, definitionsInUse);
  showGuess(ranking);
  showHint(hintReading(message, ranking));
  compareMessages();
  notes.length = 0;  // the guess and the comparison note what the decode noted
  return input;
}

// Compares the message with the one of the compare view, when it holds
// one, as iso8583dump --diff --json does (masked with the mask on).
function compareMessages() {
  const other = byId('compare-message').value;
  if (!decoder || other.trim() === '') {
    showDiff(null);
    return;
  }
  const ignore = byId('compare-ignore').value.trim();
  try {
    showDiff(decoder.diff(byId('message').value, other,
      { mask: byId('mask').checked, ...(ignore ? { ignore } : {}) }));
  } catch (error) {
    showDiff(null);
    byId('compare-status').textContent = error.message;
  }
  notes.length = 0;
}

// Shows beside the dialect list the hint of `reading`, another dialect
// that reads the message completely, with a button that chooses it when
// it is a shipped dialect that reads the message as it stands; or none.
function showHint(reading) {
  byId('dialect-hint').hidden = reading === null;
  if (reading === null) return;
  byId('dialect-hint-text').textContent = hintWords(reading);
  const button = byId('use-hinted-dialect');
  button.hidden = reading.framing !== 'none' || !(reading.dialect in shippedDialects);
  button.value = reading.dialect;
}

// After masking was turned on or off: the views and the editor again,
// keeping the edits.
function showMasking() {
  saveSettings();
  showDecoded();
  editor.refresh();
}

// ---- the explanation ---------------------------------------------------

function cell(row, text, className) {
  const td = row.insertCell();
  if (text instanceof Node) td.append(text);
  else td.textContent = text ?? '';
  if (className) td.className = className;
  return td;
}

function span(text, className) {
  const element = document.createElement('span');
  element.textContent = text;
  if (className) element.className = className;
  return element;
}

function list(items, className) {
  const ul = document.createElement('ul');
  ul.className = 'meanings';
  for (const item of items) {
    const li = document.createElement('li');
    li.textContent = item;
    if (className) li.className = className;
    ul.append(li);
  }
  return ul;
}

// The bytes of a coded element as rows of 8 bits, those set marked, with
// what each set bit means: TVR, TSI, AIP, CVM results, capabilities.
function bitGrid(element) {
  const grid = document.createElement('div');
  grid.className = 'bits';
  grid.setAttribute('role', 'img');
  const set = new Map(element.bits.map((bit) => [`${bit.byte}.${bit.bit}`, bit.meaning]));
  grid.setAttribute('aria-label', element.bits.map((bit) => bit.meaning).join('; '));
  for (let byte = 1; byte <= element.length; ++byte) {
    grid.append(span(`B${byte}`, 'byte'));
    for (let bit = 8; bit >= 1; --bit) {
      const meaning = set.get(`${byte}.${bit}`);
      const box = span(String(bit), meaning ? 'cell set' : 'cell');
      if (meaning) box.title = meaning;
      grid.append(box);
    }
  }
  return grid;
}

function meaningOf(item) {
  const box = document.createElement('div');
  if (item.meaning) box.append(span(item.meaning));
  if (item.details) box.append(list(item.details));
  if (item.bits) {
    box.append(bitGrid(item));
    box.append(list(item.bits.map((bit) => `B${bit.byte} b${bit.bit}: ${bit.meaning}`), 'set-bit'));
  }
  return box;
}

function nameOf(english, chinese) {
  const box = document.createElement('div');
  box.append(span(english || ''));
  if (chinese) box.append(span(chinese, 'name-zh'));
  return box;
}

function addRow(table, number, name, length, value, meaning, className) {
  const row = table.insertRow();
  if (className) row.className = className;
  cell(row, number, 'number');
  cell(row, name);
  cell(row, length);
  cell(row, value, 'explain-value');
  cell(row, meaning);
  return row;
}

// The elements of field 55, with tree branches before their tags.
function addElements(table, elements, prefix) {
  elements.forEach((element, index) => {
    const last = index === elements.length - 1;
    const tag = document.createElement('span');
    tag.append(span(prefix + (last ? '└─ ' : '├─ '), 'tree'), span(element.tag));
    addRow(table, tag, nameOf(element.name_en, element.name), element.length, element.value,
      meaningOf(element), 'element');
    if (element.children) addElements(table, element.children, prefix + (last ? '   ' : '│  '));
  });
}

// The parts of a composite field, with tree branches before their ids; a
// part with parts of its own shows them instead of its value.
function addParts(table, parts, prefix) {
  parts.forEach((part, index) => {
    const last = index === parts.length - 1;
    const id = document.createElement('span');
    id.append(span(prefix + (last ? '└─ ' : '├─ '), 'tree'), span(part.id));
    addRow(table, id, nameOf(part.name), part.length, part.sub ? '' : part.text ?? part.hex, '', 'element');
    if (part.sub) addParts(table, part.sub, prefix + (last ? '   ' : '│  '));
  });
}

function flaggedFields(bitmap) {
  const fields = [];
  for (let k = 0; k < 32 && 2 * k + 2 <= bitmap.length; ++k) {
    const byte = parseInt(bitmap.slice(2 * k, 2 * k + 2), 16);
    for (let bit = 0; bit < 8; ++bit) if (byte & (0x80 >> bit)) fields.push(8 * k + bit + 1);
  }
  return fields;
}

const rejections = {
  odd_digit_count: '十六进制位数为奇数 · odd number of hexadecimal digits (msg length error)',
  too_short: '报文太短 · message too short',
  not_hex: '含非十六进制字符 · a character that is not a hexadecimal digit',
};

function resultInWords(message) {
  switch (message.result) {
    case 'unpacked': return '解包成功 · unpacked';
    case 'too_short': return `报文体总长度过短 · too short: the fields need ${message.needed} bytes, the message has ${message.available}`;
    case 'field_not_defined': return `fld[${message.field}] 未定义 · field ${message.field} is not defined`;
    case 'length_too_long': return `fld[${message.field}] 长度超限 · field ${message.field}: length too long`;
    case 'length_not_digits': return `fld[${message.field}] 长度不是数字 · field ${message.field}: length not digits`;
    case 'header_too_long': return `报文头过长 · header of ${message.needed} bytes, the message has ${message.available}`;
    case 'bitmap_not_hex': return '位图不是十六进制 · bitmap not hexadecimal';
    default: return `fld[${message.field}] 长度无效 · field ${message.field}: length invalid`;
  }
}

function renderExplanation(message) {
  const box = byId('explanation');
  box.replaceChildren();
  if (message.error) {
    box.append(span(rejections[message.error] || message.error));
    return;
  }
  const table = document.createElement('table');
  const head = table.createTHead().insertRow();
  for (const title of ['域 Field', '名称 Name', '长度 Length', '值 Value', '含义 Meaning']) {
    const th = document.createElement('th');
    th.textContent = title;
    head.append(th);
  }
  const body = table.createTBody();
  if (message.header) {
    addRow(body, 'Header', nameOf('header', '报文头'), message.header.length / 2, message.header, '');
  }
  addRow(body, 'MTI', nameOf('message type indicator', '消息类型'), (message.mti ?? message.mti_hex).length,
    message.mti ?? message.mti_hex, message.mti_meaning);
  addRow(body, 'Bitmap', nameOf('bitmap', '位图'), message.bitmap.length / 2, message.bitmap,
    `fields ${flaggedFields(message.bitmap).filter((n) => n > 1).join(', ')}`);
  for (const field of message.fields) {
    const value = field.text ?? field.hex;
    addRow(body, String(field.field), nameOf(field.name), field.length, field.field === 55 ? '' : value, meaningOf(field));
    if (field.field === 55 && message.field55) addElements(body, message.field55, '');
    if (field.sub) addParts(body, field.sub, '');
    if (field.sub_error) {
      addRow(body, '', '', '', '', `does not fit its layout: ${field.sub_error.reason}`, 'element');
    }
  }
  addRow(body, '', nameOf('result', '结果'), '', '', resultInWords(message), 'result');
  box.append(table);
}

// ---- views -------------------------------------------------------------

const views = {
  report: 'report', explanation: 'explanation', json: 'json-view', editor: 'editor', guess: 'guess-view',
  compare: 'compare',
};

function currentView() {
  return Object.keys(views).find((view) => byId(`tab-${view}`).getAttribute('aria-selected') === 'true');
}

function showView(view) {
  for (const [name, panel] of Object.entries(views)) {
    const selected = name === view;
    byId(`tab-${name}`).setAttribute('aria-selected', String(selected));
    byId(panel).hidden = !selected;
  }
}

// ---- files -------------------------------------------------------------

// Whether `bytes` hold control characters other than line ends and tabs:
// a message's own bytes rather than text.
function isBinary(bytes) {
  return bytes.some((byte) => byte < 0x20 && byte !== 0x09 && byte !== 0x0a && byte !== 0x0d);
}

function summary(message) {
  if (message.error) return message.error;
  return `${message.mti ?? message.mti_hex} ${message.result}`;
}

// The messages of a file, as {label, hex} and for messages that are bytes
// {bytes}: its bytes, its lines of hex text when each line is a message
// that unpacks, the dumps in it (lines of bare hex digits among them, as
// xxd -p writes a message), or else its whole text.
function messagesOfFile(bytes) {
  if (isBinary(bytes)) return [{ label: 'binary', hex: hexOf(bytes), bytes }];
  const text = new TextDecoder().decode(bytes);
  const lines = text.split('\n').map((line, index) => ({ label: `line ${index + 1}`, hex: line }))
    .filter((line) => /[^ \t\r]/.test(line.hex));
  if (lines.length > 1 && decoder) {
    const decoded = lines.map((line) => ({ ...line, message: JSON.parse(decoder.decodeLine(line.hex)) }));
    notes.length = 0;
    if (decoded.every((line) => line.message.result === 'unpacked')) return decoded;
  }
  const dumps = readHexdump(bytes);
  if (dumps.length > 0) {
    return dumps.map((dump) => ({ label: `line ${dump.line}`, hex: hexOf(dump.bytes), bytes: dump.bytes }));
  }
  return [{ label: 'text', hex: text }];
}

function showMessages(messages) {
  const list = byId('message-list');
  list.replaceChildren();
  byId('message-list-box').hidden = messages.length < 2;
  byId('message-count').textContent = `(${messages.length})`;
  if (messages.length > 1) {
    const fragment = document.createDocumentFragment();
    messages.forEach((message, index) => {
      const decoded = message.message ?? (decoder ? JSON.parse(decoder.decodeLine(message.bytes ?? message.hex)) : null);
      const option = new Option(`${index + 1}. ${message.label}: ${decoded ? summary(decoded) : ''}`, String(index));
      fragment.append(option);
    });
    list.append(fragment);
    notes.length = 0;
    list.onchange = () => showMessage(messages[Number(list.value)]);
  }
  showMessage(messages[0], false);
  if (messages.length > 1) list.value = '0';
  decodeMessage();
}

// Puts a message of a file into the input; decodes it unless told not to.
function showMessage(message, decode = true) {
  byId('message').value = message.hex;
  opened = message.bytes ? message : null;
  if (decode) decodeMessage();
}

async function openMessageFile(file) {
  if (!file) return;
  showMessages(messagesOfFile(new Uint8Array(await file.arrayBuffer())));
}

// Definition files are UTF-8 or, failing that, code page 936.
async function openDefinitionFile(file) {
  if (!file) return;
  const bytes = new Uint8Array(await file.arrayBuffer());
  let text;
  try {
    text = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
  } catch {
    text = new TextDecoder('gbk').decode(bytes);
  }
  byId('definitions').value = text;
  editDefinitions();
}

// ---- samples -----------------------------------------------------------

function fillSamples() {
  const select = byId('sample');
  const labels = Object.entries(shippedSamples)
    .map(([name, sample]) => [sample.dialect === name ? name : `${sample.dialect} · ${name}`, name]);
  for (const [label, name] of labels.sort()) select.add(new Option(label, name));
}

// Opens a shipped sample with its dialect.
function openSample(name) {
  const sample = shippedSamples[name];
  if (!sample) return;
  if (byId('dialect').value !== sample.dialect) {
    byId('dialect').value = sample.dialect;
    saveSettings();
    showDialect();
  }
  showMessage({ hex: sample.hex });
  byId('sample').value = '';
}

// ---- start -------------------------------------------------------------

const settings = loadSettings();
fillDialects(settings.dialect);
fillSamples();
byId('mask').checked = settings.mask ?? true;
showView(settings.view in views ? settings.view : 'report');
showDialect();

byId('parse').addEventListener('click', decodeMessage);
byId('message').addEventListener('keydown', (event) => {
  if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
    event.preventDefault();
    decodeMessage();
  }
});
document.addEventListener('keydown', (event) => {
  if (event.key === 'Enter' && (event.ctrlKey || event.metaKey) && event.target !== byId('message')) {
    event.preventDefault();
    decodeMessage();
  }
});
byId('mask').addEventListener('change', showMasking);
byId('sample').addEventListener('change', () => openSample(byId('sample').value));
byId('dialect').addEventListener('change', () => {
  saveSettings();
  showDialect();
  decodeMessage();
});
byId('compare-button').addEventListener('click', compareMessages);
byId('use-hinted-dialect').addEventListener('click', (event) => {
  byId('dialect').value = event.currentTarget.value;
  byId('dialect').dispatchEvent(new Event('change'));
});
byId('definitions').addEventListener('change', () => {
  editDefinitions();
  decodeMessage();
});
byId('message-file').addEventListener('change', (event) => openMessageFile(event.target.files[0]));
byId('definitions-file').addEventListener('change', (event) => openDefinitionFile(event.target.files[0]));
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', (event) => {
  event.preventDefault();
  const file = event.dataTransfer.files[0];
  if (event.target === byId('definitions')) openDefinitionFile(file);
  else openMessageFile(file);
});
for (const view of Object.keys(views)) {
  byId(`tab-${view}`).addEventListener('click', () => {
    showView(view);
    saveSettings();
  });
}
byId('copy-json').addEventListener('click', () => navigator.clipboard.writeText(byId('json').textContent));
byId('download-json').addEventListener('click', () => downloadText(`${lastJson}\n`, 'message.json', 'application/json'));
document.body.dataset.ready = 'true';
