#!/usr/bin/env python3
"""Builds the decoder page: one HTML file holding its style, the
WebAssembly module with its loader, the decoder's JavaScript, the shipped
dialects with their sample messages and the page's scripts, with a
Content-Security-Policy that allows exactly that style and that script and
forbids every connection.

usage: build_page.py TEMPLATE STYLE MODULE.wasm LOADER OUTPUT
           --scripts SCRIPT.js... --dialects DIALECT.ini... --samples DIALECT:SAMPLE.hex...
"""
import argparse
import base64
import hashlib
import json
import pathlib
import re
import sys

# An import of one of the page's own modules, which the page holds already.
OWN_IMPORT = re.compile(r"^import \{[^}]*\} from '\./([\w.]+\.js)';\n", re.MULTILINE)


def definition_text(path):
    """A definition file's text: UTF-8, or else code page 936."""
    data = path.read_bytes()
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("gb18030")


def csp_hash(text):
    digest = hashlib.sha256(text.encode("utf-8")).digest()
    return "'sha256-" + base64.b64encode(digest).decode("ascii") + "'"


def script_json(value):
    """`value` as JSON inside an inline script, where "</" must not end the
    element early."""
    return json.dumps(value, ensure_ascii=False, sort_keys=True).replace("</", "<\\/")


def sample(argument, dialects):
    """A sample message: its name, and its dialect and hexadecimal text."""
    dialect, _, path = argument.partition(":")
    if dialect not in dialects:
        sys.exit(f"build_page.py: sample {argument}: no dialect {dialect!r}")
    hex_text = "".join(pathlib.Path(path).read_text(encoding="ascii").split())
    return pathlib.Path(path).stem, {"dialect": dialect, "hex": hex_text}


def page_scripts(paths):
    """The scripts' texts, which go into one module in order: each one's
    imports of the scripts before it dropped, as their names are then in
    scope."""
    texts = []
    for path in map(pathlib.Path, paths):
        text = path.read_text(encoding="utf-8")
        for imported in OWN_IMPORT.findall(text):
            if imported not in [pathlib.Path(p).name for p in paths[:len(texts)]]:
                sys.exit(f"build_page.py: {path} imports {imported}, which no script before it is")
        texts.append(OWN_IMPORT.sub("", text))
    return texts


def main(template, style, wasm, loader, output, scripts, dialect_paths, sample_arguments):
    dialects = {pathlib.Path(p).stem: definition_text(pathlib.Path(p)) for p in dialect_paths}
    samples = dict(sample(argument, dialects) for argument in sample_arguments)
    script = "\n".join([
        pathlib.Path(loader).read_text(encoding="utf-8"),
        # The module's bytes, for the loader to compile without fetching them.
        'const wasmBinary = Uint8Array.from(atob("' +
        base64.b64encode(pathlib.Path(wasm).read_bytes()).decode("ascii") +
        '"), (ch) => ch.charCodeAt(0));',
        "const shippedDialects = " + script_json(dialects) + ";",
        "const shippedSamples = " + script_json(samples) + ";",
    ] + page_scripts(scripts))
    css = pathlib.Path(style).read_text(encoding="utf-8")
    policy = "; ".join([
        "default-src 'none'",
        "script-src " + csp_hash(script) + " 'wasm-unsafe-eval'",
        "style-src " + csp_hash(css),
        "img-src data:", "font-src 'none'", "connect-src 'none'", "frame-src 'none'",
        "worker-src 'none'", "object-src 'none'", "manifest-src 'none'", "media-src 'none'",
        "base-uri 'none'", "form-action 'none'",
    ])
    page = pathlib.Path(template).read_text(encoding="utf-8")
    for marker, text in (("@CSP@", policy), ("@STYLE@", css), ("@SCRIPT@", script)):
        if page.count(marker) != 1:
            sys.exit(f"build_page.py: {template} must hold {marker} once")
        before, after = page.split(marker)
        page = before + text + after
    out = pathlib.Path(output)
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_text(page, encoding="utf-8")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description="Builds the decoder page as one HTML file.")
    for name in ("template", "style", "wasm", "loader", "output"):
        parser.add_argument(name)
    parser.add_argument("--scripts", nargs="+", required=True, help="the page's scripts, in order")
    parser.add_argument("--dialects", nargs="+", required=True, help="the shipped definition files")
    parser.add_argument("--samples", nargs="*", default=[], help="DIALECT:FILE.hex, a sample of a dialect")
    arguments = parser.parse_args()
    main(arguments.template, arguments.style, arguments.wasm, arguments.loader, arguments.output,
         arguments.scripts, arguments.dialects, arguments.samples)
