// The page's message editor: the fields of a decoded message as values to
// change, add or remove, repacked as the user types through the decoder's
// pack (iso8583pack's), with the new hex shown, each value its field cannot
// hold marked with the pack's reason, a MAC marked stale once the message
// changed, and card data kept hidden while masking is on.
// Its helpers for hex text and downloads serve the rest of the page too.

// The fields that carry a message authentication code.
const macFields = new Set([64, 128]);

// Values longer than this are edited in a box of several lines.
const longValue = 64;

const hexPairs = Array.from({ length: 256 }, (_, byte) => byte.toString(16).padStart(2, '0').toUpperCase());

// The upper-case hexadecimal text of `bytes`.
function hexOf(bytes) {
  let hex = '';
  for (const byte of bytes) hex += hexPairs[byte];
  return hex;
}

// Offers `text` for download as the file `name`; nothing leaves the page.
function downloadText(text, name, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([text], { type }));
  link.download = name;
  link.click();
  URL.revokeObjectURL(link.href);
}

// Where a reason of the pack points: a field's number, 'header' or 'mti'.
function placeOfRefusal(reason) {
  const field = /^field (\d+): ([^]*)$/.exec(reason);
  if (field) return { key: Number(field[1]), reason: field[2] };
  const part = /^(header|mti): ([^]*)$/.exec(reason);
  return part ? { key: part[1], reason: part[2] } : null;
}

// The places in a message's hex of the digits that masking hides, from
// `record`, the masked --json record of the message: it is packed twice
// with every hidden digit filled in as 0 and as F, and the digits that
// differ are the hidden ones.
function hiddenDigits(decoder, record) {
  const filled = (digit) => hexOf(decoder.pack({
    ...(record.header === undefined ? {} : { header: record.header }),
    mti_hex: record.mti_hex,
    fields: record.fields.map((field) => ({ field: field.field, hex: field.hex.replaceAll('*', digit), length: field.length })),
  }));
  const low = filled('0');
  const high = filled('F');
  const hidden = [];
  for (let k = 0; k < low.length; ++k) if (low[k] !== high[k]) hidden.push(k);
  return hidden;
}

class MessageEditor {
  // `page.masked()` says whether masking is on, `page.unmask()` turns it off.
  constructor(page) {
    this.page = page;
    this.byId = (id) => document.getElementById(id);
    this.decoder = null;
    this.rows = new Map();  // field number → row; also 'header' and 'mti'
    this.packedHex = '';    // the repacked message, or '' when it could not be packed
    this.shownHex = '';
    this.byId('add-field').addEventListener('click', () => this.addField());
    this.byId('add-field-number').addEventListener('keydown', (event) => {
      if (event.key === 'Enter') this.addField();
    });
    const dialog = this.byId('unmask-dialog');
    this.byId('unmask-confirm').addEventListener('click', () => dialog.close('unmask'));
    this.byId('unmask-cancel').addEventListener('click', () => dialog.close('cancel'));
    this.byId('copy-hex').addEventListener('click', () => this.exportHex((hex) => navigator.clipboard.writeText(hex)));
    this.byId('download-hex').addEventListener('click', () => this.exportHex((hex) => downloadText(`${hex}\n`, 'message.hex', 'text/plain')));
  }

  // Edits `record`, the unmasked --json object of a message that unpacked,
  // with the definitions of `decoder`.
  open(decoder, record) {
    this.decoder = decoder;
    this.rows.clear();
    const body = this.byId('editor-fields');
    body.replaceChildren();
    if (record.header !== undefined) this.addRow('header', { key: 'hex', value: record.header, name: '报文头 header' });
    const mtiKey = record.mti === undefined ? 'mti_hex' : 'mti';
    this.addRow('mti', { key: mtiKey, value: record[mtiKey], name: '消息类型 message type', original: record.mti_hex });
    for (const field of record.fields) {
      this.addRow(field.field, { key: field.text === undefined ? 'hex' : 'text', value: field.text ?? field.hex, name: field.name, original: field });
    }
    this.trailing = record.trailing;
    this.maskLayout = null;
    // The message as it packs unchanged: the MAC is stale once the hex
    // differs, and the fields masking hides in it stay locked while it is on.
    const { bytes, refused } = this.packValues();
    this.originalHex = bytes && refused.size === 0 ? hexOf(bytes) : '';
    if (bytes) {
      for (const field of decoder.decode(bytes, { mask: true }).fields) {
        if (field.hex.includes('*')) this.rows.get(field.field).card = true;
      }
    }
    this.repack();
    this.byId('editor-box').hidden = false;
    this.byId('editor-closed').textContent = '';
  }

  // Nothing to edit, and why.
  close(reason) {
    this.decoder = null;
    this.rows.clear();
    this.byId('editor-fields').replaceChildren();
    this.byId('editor-box').hidden = true;
    this.byId('editor-closed').textContent = reason;
    this.packedHex = '';
    this.shownHex = '';
  }

  // Shows the message again after masking was turned on or off.
  refresh() {
    if (this.decoder) this.repack();
  }

  // A row of the table for `key`: its number or name, its value, its
  // length and its marks; header and type have no remove button. `row`
  // holds `key`, the member its value packs as ('text', 'hex', 'mti' or
  // 'mti_hex'), `value`, `name`, and `original`: the decoded field, or for
  // the type its hex.
  addRow(key, row) {
    row.original ??= null;
    row.initial = row.value;
    row.card = false;
    const tr = document.createElement('tr');
    tr.dataset.field = String(key);
    const number = tr.insertCell();
    number.className = 'number';
    number.textContent = typeof key === 'number' ? String(key) : key.toUpperCase();
    row.nameCell = tr.insertCell();
    row.nameCell.textContent = row.name ?? '';
    const valueCell = tr.insertCell();
    row.input = document.createElement(row.value.length > longValue ? 'textarea' : 'input');
    if (row.input.tagName === 'TEXTAREA') row.input.rows = Math.min(6, Math.ceil(row.value.length / longValue));
    row.input.className = 'value';
    row.input.spellcheck = false;
    row.input.autocomplete = 'off';
    row.input.value = row.value;
    row.input.setAttribute('aria-label', `${number.textContent} 值 value`);
    row.input.addEventListener('input', () => {
      row.value = row.input.value;
      this.repack();
    });
    valueCell.append(row.input);
    if (row.key === 'hex' || row.key === 'mti_hex') valueCell.append(Object.assign(document.createElement('span'), { className: 'form', textContent: 'hex' }));
    row.reason = document.createElement('span');
    row.reason.className = 'reason';
    valueCell.append(row.reason);
    row.lengthCell = tr.insertCell();
    row.lengthCell.className = 'length';
    const removeCell = tr.insertCell();
    if (typeof key === 'number') {
      row.remove = document.createElement('button');
      row.remove.type = 'button';
      row.remove.className = 'remove';
      row.remove.textContent = '×';
      row.remove.title = `删除 remove field ${key}`;
      row.remove.setAttribute('aria-label', row.remove.title);
      row.remove.addEventListener('click', () => {
        this.rows.delete(key);
        tr.remove();
        this.repack();
      });
      removeCell.append(row.remove);
    }
    row.tr = tr;
    // Rows stand in the table's order: header, type, then the fields ascending.
    const body = this.byId('editor-fields');
    const after = typeof key === 'number' ? [...this.rows.keys()].find((other) => typeof other === 'number' && other > key) : undefined;
    body.insertBefore(tr, after === undefined ? null : this.rows.get(after).tr);
    this.rows.set(key, row);
    return row;
  }

  // Adds the field whose number the user gave, empty, and repacks.
  addField() {
    if (!this.decoder) return;
    const box = this.byId('add-field-number');
    const number = Number(box.value);
    const note = this.byId('add-field-note');
    if (!Number.isInteger(number) || number < 2 || number > 128) {
      note.textContent = '域号须为 2 到 128 · a field number is 2 to 128';
      return;
    }
    if (this.rows.has(number)) {
      note.textContent = `域 ${number} 已存在 · field ${number} is already there`;
      return;
    }
    note.textContent = '';
    box.value = '';
    const row = this.addRow(number, { key: 'text', value: '' });
    this.repack();
    row.input.focus();
  }

  // The JSON object to pack: unchanged fields as they were decoded (their
  // bytes and length, which pack back exactly), changed ones as typed.
  // Values in `refused` are left out, or for the header and the type
  // replaced by what they were. No "bitmap", so that bit 1 follows the fields.
  request(refused) {
    const message = { fields: [] };
    for (const [key, row] of this.rows) {
      const value = refused.has(key) ? row.initial : row.value;
      if (key === 'header') {
        message.header = value;
      } else if (key === 'mti') {
        if (value === row.initial) message.mti_hex = row.original;
        else message[row.key] = value;
      } else if (!refused.has(key)) {
        const { original } = row;
        if (original && value === row.initial) message.fields.push({ field: key, hex: original.hex, length: original.length });
        else message.fields.push({ field: key, [row.key]: value });
      }
    }
    return message;
  }

  // Packs the values as they stand. The pack names one refused value at a
  // time: each is left out until the rest packs, so that every refused
  // value is found at once. Returns the bytes of what packed (null when
  // something other than a value failed), the refused values by row and
  // their reasons, and any other failure.
  packValues() {
    const refused = new Map();
    for (;;) {
      try {
        return { bytes: this.decoder.pack(this.request(refused)), refused, failure: '' };
      } catch (error) {
        const place = placeOfRefusal(error.message);
        if (!place || refused.has(place.key) || !this.rows.has(place.key)) {
          return { bytes: null, refused, failure: error.message };
        }
        refused.set(place.key, place.reason);
      }
    }
  }

  // Repacks, marks the values the pack refuses, and shows the new message:
  // only when every value packed. The fields that did are decoded again
  // for their lengths and, while masking is on, for what it hides.
  repack() {
    const { bytes, refused, failure } = this.packValues();
    this.packedHex = bytes && refused.size === 0 ? hexOf(bytes) : '';
    const masked = this.page.masked();
    const record = bytes ? this.decoder.decode(bytes, { mask: masked }) : null;
    this.shownHex = this.packedHex && masked ? this.maskedHex(record) : this.packedHex;
    this.showRows(record, refused, masked);
    this.showMessage(refused, failure);
  }

  // The new hex with the digits that masking hides, by `record`, as '*'.
  // They stay in place while every field keeps its size and the masked
  // ones their shown digits, so they are found again only after such a
  // change, not after every edit.
  maskedHex(record) {
    const layout = record.fields
      .map((field) => (field.hex.includes('*') ? `${field.field}=${field.hex}` : `${field.field}:${field.bytes}`)).join();
    if (layout !== this.maskLayout) {
      this.hiddenDigits = record.fields.some((field) => field.hex.includes('*')) ? hiddenDigits(this.decoder, record) : [];
      this.maskLayout = layout;
    }
    if (this.hiddenDigits.length === 0) return this.packedHex;
    const digits = [...this.packedHex];
    for (const place of this.hiddenDigits) digits[place] = '*';
    return digits.join('');
  }

  // Updates each row: its reason, its new length and name, whether it is
  // locked as card data, and a stale MAC.
  showRows(record, refused, masked) {
    const decoded = new Map((record?.fields ?? []).map((field) => [field.field, field]));
    const changed = this.packedHex !== '' && this.packedHex !== this.originalHex;
    for (const [key, row] of this.rows) {
      const field = decoded.get(key);
      row.card ||= masked && field !== undefined && field.hex.includes('*');
      const locked = masked && row.card;
      const stale = changed && macFields.has(key) && !refused.has(key);
      let value = row.value;
      if (locked) value = field ? (row.key === 'text' ? field.text : undefined) ?? field.hex : '*'.repeat(row.value.length);
      let reason = refused.get(key) ?? '';
      if (locked) reason = '卡号数据：取消掩码后可编辑 · card data: unmask to edit';
      else if (stale) reason = 'MAC 已失效，无密钥无法重算 · stale: it cannot be recomputed without the keys';
      this.showRow(row, {
        locked, value, reason, stale,
        refused: refused.has(key),
        length: field ? String(field.length) : '',
        name: row.nameCell.textContent || field?.name || '',
      });
    }
  }

  // Writes into a row's elements only what differs from what they show,
  // so that an edit of one value changes little of the table.
  showRow(row, view) {
    const last = row.view ?? {};
    if (view.locked !== last.locked) {
      row.input.readOnly = view.locked;
      row.tr.classList.toggle('locked', view.locked);
      if (row.remove) row.remove.disabled = view.locked;
    }
    if (row.input.value !== view.value) row.input.value = view.value;
    if (view.reason !== last.reason) row.reason.textContent = view.reason;
    if (view.refused !== last.refused) row.tr.classList.toggle('refused', view.refused);
    if (view.stale !== last.stale) row.tr.classList.toggle('stale', view.stale);
    if (view.length !== last.length) row.lengthCell.textContent = view.length;
    if (view.name !== last.name) row.nameCell.textContent = view.name;
    row.view = view;
  }

  // The new hex, and what the status line says of it.
  showMessage(refused, failure) {
    this.byId('packed-hex').textContent = this.shownHex;
    const packed = this.packedHex !== '';
    this.byId('copy-hex').disabled = !packed;
    this.byId('download-hex').disabled = !packed;
    const lines = [];
    if (refused.size > 0) lines.push(`未打包：${refused.size} 个值不能放入其域 · not packed: ${refused.size} value${refused.size > 1 ? 's' : ''} that the field cannot hold`);
    if (failure) lines.push(`未打包 · not packed: ${failure}`);
    if (packed) {
      lines.push(`${this.packedHex.length / 2} 字节 · ${this.packedHex.length / 2} bytes${this.packedHex === this.originalHex ? ', 未修改 · unchanged' : ''}`);
      const macs = [...this.rows.keys()].filter((key) => macFields.has(key));
      if (this.packedHex !== this.originalHex && macs.length > 0) {
        lines.push(`域 ${macs.join('、')} 的 MAC 已失效 · the MAC in field ${macs.join(' and ')} is stale`);
      }
    }
    if (this.trailing) lines.push(`原报文最后一个域之后的 ${this.trailing.length / 2} 字节未打包 · the ${this.trailing.length / 2} bytes after the last field are left out`);
    this.byId('editor-status').textContent = lines.join('\n');
    this.byId('editor-box').classList.toggle('not-packed', !packed);
  }

  // Copies or downloads the message's hex; while card data in it is
  // masked, only after the user agreed to unmask it.
  async exportHex(send) {
    if (!this.packedHex) return;
    if (this.shownHex.includes('*')) {
      if (!(await this.askToUnmask())) return;
      this.page.unmask();
    }
    send(this.packedHex);
  }

  askToUnmask() {
    const dialog = this.byId('unmask-dialog');
    return new Promise((resolve) => {
      dialog.addEventListener('close', () => resolve(dialog.returnValue === 'unmask'), { once: true });
      dialog.returnValue = '';
      dialog.showModal();
    });
  }
}
