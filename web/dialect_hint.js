// The page's guess of a message's dialect, as iso8583dump --guess makes it
// (the dialect in use first, then the shipped ones), and the hint it gives
// beside the dialect list, the one iso8583dump gives on standard error:
// when a message did not unpack completely, or has bytes left over, and
// another dialect (or the same behind a length or a TPDU) reads it
// completely, it names that dialect.

class PageGuess {
  // `openGuess` makes guesses (as bindIso8583 gives it); `shipped` maps the
  // names of the shipped dialects to their definitions.
  constructor(openGuess, shipped) {
    this.openGuess = openGuess;
    this.shipped = shipped;
    this.guess = null;  // the guess whose first candidate is `first`
    this.first = null;
  }

  // The ranking of `input`, as iso8583dump --guess --json gives it, by the
  // dialect `name` whose definitions are `definitions` and the shipped
  // ones.
  ranking(input, name, definitions) {
    if (this.first?.name !== name || this.first?.definitions !== definitions) {
      this.guess?.close();
      const shipped = Object.keys(this.shipped).sort()
        .map((dialect) => ({ name: dialect, definitions: this.shipped[dialect] }));
      this.first = { name, definitions, preferred: true };
      this.guess = this.openGuess([this.first, ...shipped]);
    }
    return this.guess.guess(input);
  }
}

// The reading of `ranking` that a hint names for `message`, the --json
// object of the same input: {dialect, framing, framing_bytes, …}; null
// when the message unpacked completely, was refused, or no candidate reads
// it completely.
function hintReading(message, ranking) {
  if (message.error || (message.result === 'unpacked' && !message.trailing)) return null;
  return ranking.complete ? ranking.readings[0] : null;
}

// The hint's words for `reading`: "read as iso87-binary after its first 7
// bytes (len2+tpdu), this message unpacks completely", in Chinese and
// English.
function hintWords(reading) {
  const skipped = reading.framing_bytes > 0;
  const chinese = `提示：按 ${reading.dialect} 读取${skipped ? `（跳过前 ${reading.framing_bytes} 字节，${reading.framing}）` : ''}，此报文可完整解包`;
  const english = `hint: read as ${reading.dialect}${skipped ? ` after its first ${reading.framing_bytes} bytes (${reading.framing})` : ''}, this message unpacks completely`;
  return `${chinese} · ${english}`;
}
