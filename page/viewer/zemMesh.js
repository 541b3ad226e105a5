function zemMesh(gl, posLoc, normLoc, texLoc, mi, buff, bl, m, textured, nv, q, chunks, data) {
  /* One stored mesh of a compact page: base64 of a little-endian block
     (positions, normals, texture coordinates, then the indices of each
     buffer, every section padded to 4 bytes), decoded into the interleaved
     buffers of the standard page. Data that cannot be decoded turns the
     page to its preview picture and error text. */
  try {
    if (new Uint8Array(new Uint16Array([1]).buffer)[0] !== 1) {
      throw new Error("big-endian");
    }
    var bytes, n, i, k, j;
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
    var pad = function (size) {
      return (size + 3) & ~3;
    };
    var size = pad(nv * (q[0] ? 6 : 12)) + pad(nv * (q[7] ? 2 * q[7] : 12)) + (q[8] ? 8 * nv : 0), c;
    for (c = 0; c < chunks.length; c += 3) {
      size += pad(3 * chunks[c] * (chunks[c + 2] ? 4 : 2));
    }
    if (size !== n) {
      throw new Error("length");
    }
    var at = 0;
    var take = function (T, count) {
      var a = new T(bytes.buffer, at, count);
      at += pad(count * T.BYTES_PER_ELEMENT);
      return a;
    };
    var P, N, T = null, st = textured ? 8 : 6;
    if (q[0]) {
      var u = take(Uint16Array, 3 * nv);
      P = new Float32Array(3 * nv);
      for (i = 0; i < 3 * nv; i += 3) {
        P[i] = q[1] + u[i] * q[4];
        P[i + 1] = q[2] + u[i + 1] * q[5];
        P[i + 2] = q[3] + u[i + 2] * q[6];
      }
    } else {
      P = take(Float32Array, 3 * nv);
    }
    if (q[7]) {
      var o = take(q[7] === 1 ? Int8Array : Int16Array, 2 * nv), sc = q[7] === 1 ? 127 : 32767;
      N = new Float32Array(3 * nv);
      for (i = 0, k = 0; i < 2 * nv; i += 2, k += 3) {
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
      N = take(Float32Array, 3 * nv);
    }
    if (q[8]) {
      T = take(Float32Array, 2 * nv);
    }
    for (c = 0; c < chunks.length; c += 3) {
      var tri = chunks[c], base = chunks[c + 1];
      var idx = take(chunks[c + 2] ? Uint32Array : Uint16Array, 3 * tri);
      var v = new Float32Array(3 * tri * st);
      for (i = 0, k = 0; i < 3 * tri; i++, k += st) {
        j = base + idx[i];
        if (!(j < nv)) {
          throw new Error("index");
        }
        v[k] = P[3 * j];
        v[k + 1] = P[3 * j + 1];
        v[k + 2] = P[3 * j + 2];
        v[k + 3] = N[3 * j];
        v[k + 4] = N[3 * j + 1];
        v[k + 5] = N[3 * j + 2];
        if (T && textured) {
          v[k + 6] = T[2 * j];
          v[k + 7] = T[2 * j + 1];
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
