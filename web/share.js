// Scripts in links: the script, deflated and in base64url, in the fragment of the page's
// address (which browsers never send to a server), behind a format version, so that a link
// made today still opens after later releases:
//   #z1=<base64url of the raw deflate of the script's UTF-8>
'use strict';

const ZirkulaLink = (() => {
  const Prefix = 'z1=';

  async function through(bytes, stream) {
    const piped = new Blob([bytes]).stream().pipeThrough(stream);
    return new Uint8Array(await new Response(piped).arrayBuffer());
  }

  function toBase64Url(bytes) {
    return Zirkula.base64(bytes).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  function fromBase64Url(text) {
    const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    return Uint8Array.from(binary, (c) => c.charCodeAt(0));
  }

  // The fragment (without '#') that carries the script.
  async function encode(script) {
    const packed = await through(new TextEncoder().encode(script), new CompressionStream('deflate-raw'));
    return Prefix + toBase64Url(packed);
  }

  // The script a fragment carries; null when the fragment carries none; an Error with a
  // German message when it is damaged or of a format this page does not know.
  async function decode(fragment) {
    const text = fragment.replace(/^#/, '');
    if (!/^z\d+=/.test(text)) return null;
    if (!text.startsWith(Prefix)) {
      throw new Error('Dieser Link stammt aus einer neueren Zirkula-Version und kann hier nicht geöffnet werden.');
    }
    try {
      const bytes = await through(fromBase64Url(text.slice(Prefix.length)),
        new DecompressionStream('deflate-raw'));
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch (e) {
      throw new Error('Der Link ist beschädigt: das Skript lässt sich nicht auspacken.');
    }
  }

  return { encode, decode };
})();
