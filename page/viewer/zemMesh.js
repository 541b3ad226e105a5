function zemMesh(gl, posLoc, normLoc, texLoc, mi, buff, bl, m, textured, nv, q, tris, lens, crc, data) {
  /* One stored mesh of a compact page: base64 of a block of four sections
     (positions, normals, texture coordinates, indices) compressed by
     meshoptimizer's vertex and index codecs, with a CRC-32 of the block,
     decoded into the interleaved buffers of the standard page. Data that
     cannot be decoded, or whose checksum differs, turns the page to its
     preview picture and error text. */
  try {
    if (new Uint8Array(new Uint16Array([1]).buffer)[0] !== 1) {
      throw new Error("big-endian");
    }
    if (typeof MeshoptDecoder !== "object" || !MeshoptDecoder || !MeshoptDecoder.supported) {
      throw new Error("no decoder");
    }
    var bytes, n, i, k, j, c;
    if (typeof Uint8Array.fromBase64 === "function") {
      bytes = Uint8Array.fromBase64(data);
      n = bytes.length;
    } else {
      var s = atob(data);
      n = s.length;
      bytes = new Uint8Array(n);
      for (i = 0; i < n; i++) {
        bytes[i] = s.charCodeAt(i);
      }
      s = null;
    }
    if (lens[0] + lens[1] + lens[2] + lens[3] !== n || zemCrc32(bytes) !== crc) {
      throw new Error("damaged");
    }
    var at = 0;
    var section = function (k) {
      var part = bytes.subarray(at, at + lens[k]);
      at += lens[k];
      return part;
    };
    var vertices = function (T, perVertex, k) {
      var a = new T(perVertex * nv);
      MeshoptDecoder.decodeVertexBuffer(new Uint8Array(a.buffer), nv, a.BYTES_PER_ELEMENT * perVertex, section(k));
      return a;
    };
    var P, N, T = null, st = textured ? 8 : 6;
    if (q[0]) {
      var u = vertices(Uint16Array, 4, 0);
      P = new Float32Array(3 * nv);
      for (i = 0, k = 0; k < 3 * nv; i += 4, k += 3) {
        P[k] = q[1] + u[i] * q[4];
        P[k + 1] = q[2] + u[i + 1] * q[5];
        P[k + 2] = q[3] + u[i + 2] * q[6];
      }
    } else {
      P = vertices(Float32Array, 3, 0);
    }
    if (q[7]) {
      var o = q[7] === 8 ? vertices(Int8Array, 4, 1) : vertices(Int16Array, 2, 1);
      var ost = q[7] === 8 ? 4 : 2, sc = Math.pow(2, q[7] - 1) - 1;
      N = new Float32Array(3 * nv);
      for (i = 0, k = 0; k < 3 * nv; i += ost, k += 3) {
        var x = Math.max(o[i] / sc, -1), y = Math.max(o[i + 1] / sc, -1), z = 1 - Math.abs(x) - Math.abs(y);
        if (z < 0) {
          var t = x;
          x = (1 - Math.abs(y)) * (t >= 0 ? 1 : -1);
          y = (1 - Math.abs(t)) * (y >= 0 ? 1 : -1);
        }
        var l = Math.sqrt(x * x + y * y + z * z);
        N[k] = x / l;
        N[k + 1] = y / l;
        N[k + 2] = z / l;
      }
    } else {
      N = vertices(Float32Array, 3, 1);
    }
    if (q[8] === 2) {
      var w = vertices(Uint16Array, 2, 2);
      T = new Float32Array(2 * nv);
      for (i = 0; i < 2 * nv; i += 2) {
        T[i] = q[9] + w[i] * q[11];
        T[i + 1] = q[10] + w[i + 1] * q[12];
      }
    } else if (q[8] === 1) {
      T = vertices(Float32Array, 2, 2);
    } else {
      section(2);
    }
    var all = 0;
    for (c = 0; c < tris.length; c++) {
      all += tris[c];
    }
    var idx = new Uint32Array(3 * all);
    MeshoptDecoder.decodeIndexBuffer(new Uint8Array(idx.buffer), 3 * all, 4, section(3));
    for (i = 0; i < 3 * all; i++) {
      if (!(idx[i] < nv)) {
        throw new Error("index");
      }
    }
    /* Each vertex's record once, then copied to every corner. */
    var R = new Float32Array(nv * st);
    for (i = 0, k = 0; i < nv; i++, k += st) {
      R[k] = P[3 * i];
      R[k + 1] = P[3 * i + 1];
      R[k + 2] = P[3 * i + 2];
      R[k + 3] = N[3 * i];
      R[k + 4] = N[3 * i + 1];
      R[k + 5] = N[3 * i + 2];
      if (T && textured) {
        R[k + 6] = T[2 * i];
        R[k + 7] = T[2 * i + 1];
      }
    }
    P = N = T = null;
    for (c = 0, j = 0; c < tris.length; c++) {
      var tri = tris[c];
      var v = new Float32Array(3 * tri * st);
      var r, stop, end = j + 3 * tri;
      for (k = 0; j < end; j++) {
        for (r = idx[j] * st, stop = r + st; r < stop; r++, k++) {
          v[k] = R[r];
        }
      }
      mi.push(m);
      bl.push(tri);
      var b = gl.createBuffer();
      buff.push(b);
      gl.bindBuffer(gl.ARRAY_BUFFER, b);
      gl.bufferData(gl.ARRAY_BUFFER, v, gl.STATIC_DRAW);
      gl.vertexAttribPointer(posLoc, 3, gl.FLOAT, false, 4 * st, 0);
      gl.vertexAttribPointer(normLoc, 3, gl.FLOAT, false, 4 * st, 12);
      if (textured) {
        gl.vertexAttribPointer(texLoc, 2, gl.FLOAT, false, 32, 24);
      }
    }
  } catch (e) {
    shaderErr = 1;
    if (typeof errorText === "object" && errorText) {
      errorText.innerHTML = "<h2>The model data of this page could not be decoded.</h2>";
    }
  }
}
function zemCrc32(b) {
  /* CRC-32 as zlib computes it (reflected, polynomial 0xEDB88320). */
  if (!zemCrc32.table) {
    zemCrc32.table = new Int32Array(256);
    for (var n = 0; n < 256; n++) {
      var c = n;
      for (var k = 0; k < 8; k++) {
        c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
      }
      zemCrc32.table[n] = c;
    }
  }
  var t = zemCrc32.table, r = -1;
  for (var i = 0; i < b.length; i++) {
    r = t[(r ^ b[i]) & 255] ^ (r >>> 8);
  }
  return (r ^ -1) >>> 0;
}
var zemWasmAsync = null;
function zemSyncWasm(on) {
  /* While meshoptimizer's decoder script starts, WebAssembly.instantiate
     compiles and instantiates on the spot, so that its decoder is ready
     within initVB (the script asks for it asynchronously). */
  if (typeof WebAssembly !== "object") {
    return;
  }
  if (on) {
    zemWasmAsync = WebAssembly.instantiate;
    WebAssembly.instantiate = function (bytes, imports) {
      var r = { instance: new WebAssembly.Instance(new WebAssembly.Module(bytes), imports) };
      return { then: function (f) { f(r); return this; } };
    };
  } else if (zemWasmAsync) {
    WebAssembly.instantiate = zemWasmAsync;
    zemWasmAsync = null;
  }
}
