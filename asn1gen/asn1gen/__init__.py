"""Front end of the ASN.1 compiler: lexer, parser and resolved model."""
