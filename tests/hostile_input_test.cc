// Hostile inputs: messages and definition files that try to make the decoder
// read or write outside its buffers.
