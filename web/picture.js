// The script a picture carries, so that a picture opens again as the script that made it; the
// format is the desktop program's (src/platform/picturescript.h).
//
//   await ZirkulaPicture.withScript(pngBytes, script)  -> the PNG's bytes carrying the script
//   ZirkulaPicture.chunksOf(script)      compresses the script ahead, for a PNG written later
//   await ZirkulaPicture.scriptOf(bytes)
//       -> {script: the script's bytes (UTF-8)}, {message: why a picture gives none}, or {}
//          for bytes that are no picture
'use strict';

const ZirkulaPicture = (() => {
  const Format = 1;
  const ScriptKeyword = 'Zirkula-Skript';
  const FormatKeyword = 'Zirkula-Format';
  const Namespace = 'urn:zirkula:skript';
  const Signature = [0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A];
  // As the desktop program: a few bytes of compressed zeros must not fill the memory.
  const MostScriptBytes = 64 << 20;
  const Missing = 'Dieses Bild enthält kein Zirkula-Skript.';
  const Damaged = 'Das Bild ist beschädigt: sein Zirkula-Skript kann nicht gelesen werden.';

  const crcTable = new Uint32Array(256).map((_, n) => {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
  });

  function crc32(bytes) {
    let c = 0xFFFFFFFF;
    for (const b of bytes) c = crcTable[(c ^ b) & 0xFF] ^ (c >>> 8);
    return (c ^ 0xFFFFFFFF) >>> 0;
  }

  function concat(parts) {
    const out = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
    let at = 0;
    for (const p of parts) {
      out.set(p, at);
      at += p.length;
    }
    return out;
  }

  const latin1 = (text) => Uint8Array.from(text, (c) => c.charCodeAt(0));

  // The bytes through a compression stream; throws past limit bytes or on bad data.
  async function through(transform, bytes, limit) {
    const reader = new Blob([bytes]).stream().pipeThrough(transform).getReader();
    const parts = [];
    let size = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) return concat(parts);
      size += value.length;
      if (size > limit) {
        reader.cancel();
        throw new Error('too large');
      }
      parts.push(value);
    }
  }

  function chunk(type, data) {
    const out = new Uint8Array(12 + data.length);
    const view = new DataView(out.buffer);
    view.setUint32(0, data.length);
    out.set(latin1(type), 4);
    out.set(data, 8);
    view.setUint32(8 + data.length, crc32(out.subarray(4, 8 + data.length)));
    return out;
  }

  const isPng = (bytes) => bytes.length >= 8 && Signature.every((b, i) => bytes[i] === b);

  function isSvg(bytes) {
    const head = new TextDecoder().decode(bytes.subarray(0, 4096)).replace(/^\uFEFF?\s*/, '');
    return head.startsWith('<') && new TextDecoder().decode(bytes).includes('<svg');
  }

  // The script's chunks, the last script's kept: the page asks for them when a run starts, so
  // that the run's end, when its picture is written, does not wait for the compression.
  let last = { script: null, chunks: null };

  function same(a, b) {
    if (a.length !== b.length) return false;
    for (let i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
    return true;
  }

  function chunksOf(script) {
    const text = typeof script === 'string' ? new TextEncoder().encode(script) : script;
    if (last.script && same(last.script, text)) return last.chunks;
    // A browser without compression streams saves its pictures without the script.
    if (typeof CompressionStream === 'undefined') return Promise.resolve(null);
    // keyword, compressed, deflate, no language tag, no translated keyword, the text
    const head = latin1(ScriptKeyword + '\0\x01\x00\0\0');
    const chunks = through(new CompressionStream('deflate'), text, Infinity).then((compressed) =>
      concat([chunk('tEXt', latin1(`${FormatKeyword}\0${Format}`)), chunk('iTXt', concat([head, compressed]))]));
    last = { script: text.slice(), chunks };
    return chunks;
  }

  // The chunks go right after the header, before the image data, as the desktop writes them.
  async function withScript(png, script) {
    if (!isPng(png) || png.length < 33) return png;
    const chunks = await chunksOf(script).catch(() => null);
    if (!chunks) return png;
    const afterHeader = 8 + 12 + new DataView(png.buffer, png.byteOffset).getUint32(8);
    return concat([png.subarray(0, afterHeader), chunks, png.subarray(afterHeader)]);
  }

  function ofFormat(version, script) {
    const number = version === null || version === '' ? Format : /^\d{1,6}$/.test(version) ? Number(version) : 0;
    if (number > Format) {
      return { message: `Das Skript in diesem Bild hat das Format ${number}, diese Seite kennt nur ` +
        `Format ${Format}: bitte die Seite neu laden.` };
    }
    return number < 1 ? { message: Damaged } : { script };
  }

  async function pngScript(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.length);
    let version = null;
    for (let at = 8; at + 12 <= bytes.length;) {
      const length = view.getUint32(at);
      if (length > bytes.length - at - 12) return { message: Damaged };
      const type = String.fromCharCode(...bytes.subarray(at + 4, at + 8));
      const data = bytes.subarray(at + 8, at + 8 + length);
      const keyEnd = data.subarray(0, 80).indexOf(0);
      const key = keyEnd > 0 ? String.fromCharCode(...data.subarray(0, keyEnd)) : '';
      const ours = (type === 'tEXt' && key === FormatKeyword) || (type === 'iTXt' && key === ScriptKeyword);
      if (ours && crc32(bytes.subarray(at + 4, at + 8 + length)) !== view.getUint32(at + 8 + length)) {
        return { message: Damaged };
      }
      if (ours && type === 'tEXt') version = String.fromCharCode(...data.subarray(keyEnd + 1, keyEnd + 17));
      if (ours && type === 'iTXt') {
        // keyword \0, compression flag, method, language tag \0, translated keyword \0, text
        const languageEnd = data.indexOf(0, keyEnd + 3);
        const text = languageEnd < 0 ? 0 : data.indexOf(0, languageEnd + 1) + 1;
        if (text === 0) return { message: Damaged };
        try {
          const script = data[keyEnd + 1]
            ? await through(new DecompressionStream('deflate'), data.subarray(text), MostScriptBytes)
            : data.subarray(text);
          return ofFormat(version, script);
        } catch (e) {
          return { message: Damaged };
        }
      }
      if (type === 'IEND') break;
      at += 12 + length;
    }
    return { message: Missing };
  }

  function svgScript(bytes) {
    const document = new DOMParser().parseFromString(new TextDecoder().decode(bytes), 'image/svg+xml');
    const element = document.getElementsByTagNameNS(Namespace, 'skript')[0];
    if (!element) {
      return { message: document.getElementsByTagName('parsererror').length ? Damaged : Missing };
    }
    const encoding = element.getAttribute('encoding');
    if (encoding === 'base64') {
      try {
        return ofFormat(element.getAttribute('version'), latin1(atob(element.textContent.replace(/\s/g, ''))));
      } catch (e) {
        return { message: Damaged };
      }
    }
    if (encoding) return { message: Damaged };
    return ofFormat(element.getAttribute('version'), new TextEncoder().encode(element.textContent));
  }

  async function scriptOf(bytes) {
    if (isPng(bytes)) return pngScript(bytes);
    if (isSvg(bytes)) return svgScript(bytes);
    return {};
  }

  return { withScript, chunksOf, scriptOf };
})();
