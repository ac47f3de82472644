// The guess of a message's dialect in the npm package, as iso8583dump
// --guess --json gives it: the shipped dialects are the candidates, after
// the one the options name, as --defs names one.

// The guesses made so far, by the shipped dialect that comes first ("" for
// none): their candidates are read once.
const guesses = new Map();

// The ranking of `input` (a message, or an array of messages ranked
// together) by the shipped dialects `names`, whose definitions `read`
// gives, with `binding` (what bindIso8583 returns). `options` may name one
// candidate to come first: a shipped `dialect`, or the `definitions` of
// your own (text or bytes) under `name`.
export function guessDialect(binding, names, read, input, options = {}) {
  if (options === null || typeof options !== 'object') throw new TypeError('options must be an object');
  const { dialect, definitions, name = 'definitions' } = options;
  if (dialect !== undefined && definitions !== undefined) {
    throw new TypeError('guess takes { dialect } or { definitions }, not both');
  }
  const shipped = () => names.map((candidate) => ({ name: candidate, definitions: read(candidate) }));
  if (definitions !== undefined) {
    if (typeof name !== 'string') throw new TypeError('name must be a string, as --defs takes it');
    // Definitions that cannot be read throw here, with their line.
    binding.openDecoder(definitions).close();
    const guess = binding.openGuess([{ name, definitions, preferred: true }, ...shipped()]);
    try {
      return guess.guess(input);
    } finally {
      guess.close();
    }
  }
  const first = dialect ?? '';
  if (typeof first !== 'string') throw new TypeError('dialect must be the name of a shipped dialect, a string');
  if (first !== '' && !names.includes(first)) {
    throw new Error(`unknown dialect ${JSON.stringify(first)}; the shipped ones are ${names.join(', ')}`);
  }
  if (!guesses.has(first)) {
    const candidates = shipped();
    const preferred = candidates.filter((candidate) => candidate.name === first)
      .map((candidate) => ({ ...candidate, preferred: true }));
    guesses.set(first, binding.openGuess([...preferred, ...candidates]));
  }
  return guesses.get(first).guess(input);
}
