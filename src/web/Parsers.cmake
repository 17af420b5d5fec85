# Sources of the page parsers, the checksum and URL normalisation.
