#!/usr/bin/env python3
"""Builds the decoder page: one HTML file holding its style, the
WebAssembly module with its loader, the decoder's JavaScript, the shipped
dialects and the page's script, with a Content-Security-Policy that allows
exactly that style and that script and forbids every connection.

usage: build_page.py TEMPLATE STYLE MODULE.wasm LOADER API PAGE_SCRIPT OUTPUT DIALECT.ini...
"""
import base64
import hashlib
import json
import pathlib
import sys


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


def main(template, style, wasm, loader, api, page_script, output, *dialect_paths):
    dialects = {pathlib.Path(p).stem: definition_text(pathlib.Path(p)) for p in dialect_paths}
    # Inside an inline script, "</" must not end the element early.
    dialect_json = json.dumps(dialects, ensure_ascii=False, sort_keys=True).replace("</", "<\\/")
    script = "\n".join([
        pathlib.Path(loader).read_text(encoding="utf-8"),
        # The module's bytes, for the loader to compile without fetching them.
        'const wasmBinary = Uint8Array.from(atob("' +
        base64.b64encode(pathlib.Path(wasm).read_bytes()).decode("ascii") +
        '"), (ch) => ch.charCodeAt(0));',
        pathlib.Path(api).read_text(encoding="utf-8"),
        "const shippedDialects = " + dialect_json + ";",
        pathlib.Path(page_script).read_text(encoding="utf-8"),
    ])
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
    if len(sys.argv) < 8:
        sys.exit(__doc__)
    main(*sys.argv[1:])
