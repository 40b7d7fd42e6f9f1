process.exit(77)
