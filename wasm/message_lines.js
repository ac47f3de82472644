// Messages from a stream of text, such as a file read by Node.js, as
// iso8583dump --each-line and --hexdump read them: the text goes to the
// library's readers piece by piece, and each message comes back as soon as
// it is whole. A piece is read from the stream only when the messages of
// the pieces before it have all been taken, so a slow consumer holds back
// the stream.

// The most text handed to the module at once, so that a stream giving
// very large pieces does not make the module's memory grow with them.
const PIECE_BYTES = 1 << 16;

const utf8 = new TextEncoder();

// The messages of `chunks`, an async iterable of text or bytes, through
// the stream that `openStream()` opens once they are first asked for:
// push(bytes) hands it text, end() tells that the text has ended, next()
// gives the next whole messages (none when it needs more text, null after
// the last), close() frees it.
export async function* streamMessages(chunks, openStream) {
  const stream = openStream();
  try {
    for await (const chunk of chunks) {
      let bytes;
      if (typeof chunk === 'string') bytes = utf8.encode(chunk);
      else if (chunk instanceof Uint8Array) bytes = chunk;
      else throw new TypeError('lines() reads text or bytes: strings, Uint8Arrays or Buffers');
      for (let start = 0; start < bytes.length; start += PIECE_BYTES) {
        stream.push(bytes.subarray(start, start + PIECE_BYTES));
        for (let messages = stream.next(); messages.length > 0; messages = stream.next()) {
          for (const message of messages) yield message;
        }
      }
    }
    stream.end();
    for (let messages = stream.next(); messages !== null; messages = stream.next()) {
      for (const message of messages) yield message;
    }
  } finally {
    stream.close();
  }
}
