// The guess of a message's dialect and the comparison of two messages for
// JavaScript, over the C interface of the WebAssembly module
// (wasm/decoder_binding.h): the objects of iso8583dump --guess --json and
// --diff --json. The page and the npm package reach them through
// bindIso8583 (wasm/iso8583_api.js).

// The guess and the comparison over `module`, a loaded emscripten module,
// with the helpers of bindIso8583: `withBytes(bytes, use)` lends `use` the
// bytes in the module's memory, `messageInput(input)` gives a message's
// bytes and flag, `resultText()` the result of the latest call.
// The page holds this script in one module with the others, so it names
// nothing at the top but this function.
export function bindComparison(module, { withBytes, messageInput, resultText }) {
  // A flag and a status of the C interface.
  const MASK = 4;
  const REJECTED = 2;

  const utf8 = new TextEncoder();

  // `parts`, Uint8Arrays, one after the other in one.
  function joined(parts) {
    const all = new Uint8Array(parts.reduce((sum, part) => sum + part.length, 0));
    let at = 0;
    for (const part of parts) {
      all.set(part, at);
      at += part.length;
    }
    return all;
  }

  // Candidate dialects, each read once, that guess the dialect of
  // messages as iso8583dump --guess does.
  class Guess {
    constructor(handle) {
      this.handle = handle;
    }

    // The ranking of `input`, one message or an array of messages ranked
    // together (as --each-line reads a file), as iso8583dump --guess --json
    // gives it. Refused messages are not counted, as there.
    guess(input) {
      if (this.handle === 0) throw new Error('the guess is closed');
      const messages = Array.isArray(input) ? input : [input];
      for (const message of messages) {
        const [bytes, flags] = messageInput(message);
        withBytes(bytes, (at, length) => module._iso8583_guess_read(this.handle, at, length, flags));
      }
      module._iso8583_guess_result(this.handle);
      return JSON.parse(resultText());
    }

    // Frees the guess; closing it again does nothing.
    close() {
      if (this.handle === 0) return;
      module._iso8583_guess_destroy(this.handle);
      this.handle = 0;
    }
  }

  // A guess over `candidates`, [{name, definitions, preferred}]: the name
  // that --defs takes, the text (or bytes) of the definition file, and
  // whether it is the one --defs names, which comes first. Candidates
  // whose definitions cannot be read are left out, as iso8583dump leaves
  // them out.
  function openGuess(candidates) {
    const handle = module._iso8583_guess_create();
    for (const { name, definitions, preferred } of candidates) {
      const text = typeof definitions === 'string' ? utf8.encode(definitions) : definitions;
      const entry = joined([utf8.encode(name), new Uint8Array(1), text]);
      withBytes(entry, (at, length) => module._iso8583_guess_add(handle, at, length, preferred ? 1 : 0));
    }
    return new Guess(handle);
  }

  // The places that `ignore` names, as --ignore takes them: "7,11,mti".
  function ignoreList(ignore) {
    if (typeof ignore === 'string') return ignore;
    if (Array.isArray(ignore)) return ignore.join(',');
    throw new TypeError('ignore must list field numbers, "mti" and "header": [7, 11, "mti"] or "7,11,mti"');
  }

  // The differences of message `a`, read by `decoderA`, and message `b`,
  // read by `decoderB`, as iso8583dump --diff --json gives them; `options`
  // may leave places out (`ignore`) and mask card data (`mask`). Both
  // messages are text, or both bytes. Throws an Error when a message is
  // refused or the places are not a list of them.
  function diff(decoderA, decoderB, a, b, options = {}) {
    if (options === null || typeof options !== 'object') throw new TypeError('options must be an object');
    if (typeof decoderB?.openHandle !== 'function') throw new TypeError('decoderB must be a decoder');
    const [bytesA, formA] = messageInput(a);
    const [bytesB, formB] = messageInput(b);
    if (formA !== formB) throw new TypeError('the two messages must both be text, or both bytes');
    const ignore = utf8.encode(options.ignore === undefined ? '' : ignoreList(options.ignore));
    const flags = formA | (options.mask ? MASK : 0);
    const handleA = decoderA.openHandle();
    const handleB = decoderB.openHandle();
    const status = withBytes(joined([bytesA, bytesB, ignore]), (at) =>
      module._iso8583_diff(handleA, handleB, at, bytesA.length, bytesB.length, ignore.length, flags));
    if (status === REJECTED) throw new Error(resultText());
    return JSON.parse(resultText());
  }

  return { openGuess, diff };
}
