Just text, no code.
