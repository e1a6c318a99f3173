#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/.

Each seed is a small, valid or nearly valid input that leads the fuzzer into a
different part of the reader: WAV files in every accepted and refused shape,
version blocks with and without their parts, form descriptions that use every
kind of value and every registered class. Run it again after changing it; it
replaces the corpora it writes."""

import math
import pathlib
import shutil
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parent.parent

# ---------------------------------------------------------------- WAV files

PCM = 1
EXTENSIBLE = 0xFFFE
RATE = 44100
BLOCK_FRAMES = 16  # the wavfile target's block length


def chunk(ident, data, declared=None, pad=True):
    size = len(data) if declared is None else declared
    body = ident + struct.pack("<I", size) + data
    if pad and len(data) % 2:
        body += b"\0"
    return body


def riff(form, body, declared=None):
    return chunk(b"RIFF", form + body, declared, pad=False)


def fmt(tag=PCM, channels=2, rate=RATE, bits=16, extra=b""):
    align = channels * bits // 8
    return struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits) + extra


def tone(frames, channels=2, amplitude=12000):
    values = []
    for i in range(frames):
        sample = int(amplitude * math.sin(2 * math.pi * i / 20))
        values.extend([sample] * channels)
    return struct.pack("<%dh" % len(values), *values)


def wav_seeds():
    stereo = tone(BLOCK_FRAMES * 3 + 5)
    mono = tone(BLOCK_FRAMES * 2 + 3, channels=1)
    ext = struct.pack("<HHI", 22, 16, 3) + bytes(range(16))
    return {
        "stereo": riff(b"WAVE", chunk(b"fmt ", fmt()) + chunk(b"data", stereo)),
        "mono": riff(b"WAVE", chunk(b"fmt ", fmt(channels=1)) + chunk(b"data", mono)),
        "three-channels": riff(b"WAVE", chunk(b"fmt ", fmt(channels=3)) + chunk(b"data", tone(40, 3))),
        "rate-22050": riff(b"WAVE", chunk(b"fmt ", fmt(rate=22050)) + chunk(b"data", stereo)),
        "eight-bit": riff(b"WAVE", chunk(b"fmt ", fmt(bits=8)) + chunk(b"data", bytes(range(64)))),
        "not-pcm": riff(b"WAVE", chunk(b"fmt ", fmt(tag=3, bits=32)) + chunk(b"data", bytes(64))),
        "extensible": riff(b"WAVE", chunk(b"fmt ", fmt(tag=EXTENSIBLE, extra=struct.pack("<H", 22) + ext[2:]))
                           + chunk(b"data", stereo)),
        "fmt-18-bytes": riff(b"WAVE", chunk(b"fmt ", fmt(extra=b"\0\0")) + chunk(b"data", stereo)),
        "fmt-short": riff(b"WAVE", chunk(b"fmt ", fmt()[:14]) + chunk(b"data", stereo)),
        "odd-chunk-before": riff(b"WAVE", chunk(b"LIST", b"INFOISFT\3\0\0\0ab\0") + chunk(b"fmt ", fmt())
                                 + chunk(b"junk", b"x") + chunk(b"data", stereo)),
        "odd-data": riff(b"WAVE", chunk(b"fmt ", fmt(channels=1)) + chunk(b"data", mono + b"\x7f")),
        "data-before-fmt": riff(b"WAVE", chunk(b"data", stereo) + chunk(b"fmt ", fmt())),
        "no-data": riff(b"WAVE", chunk(b"fmt ", fmt())),
        "empty-data": riff(b"WAVE", chunk(b"fmt ", fmt()) + chunk(b"data", b"")),
        "truncated-data": riff(b"WAVE", chunk(b"fmt ", fmt()) + chunk(b"data", stereo[:40], declared=4000)),
        "huge-data": riff(b"WAVE", chunk(b"fmt ", fmt()) + chunk(b"data", stereo[:8], declared=0xFFFFFFF0)),
        "riff-size-short": riff(b"WAVE", chunk(b"fmt ", fmt()) + chunk(b"data", stereo), declared=20),
        "riff-size-huge": riff(b"WAVE", chunk(b"fmt ", fmt()) + chunk(b"data", stereo), declared=0xFFFFFFFF),
        "avi-then-wave": riff(b"AVI ", chunk(b"hdrl", b"abcd")) + riff(b"WAVE", chunk(b"fmt ", fmt())
                                                                         + chunk(b"data", stereo)),
        "junk-then-wave": chunk(b"JUNK", b"12345") + riff(b"WAVE", chunk(b"fmt ", fmt()) + chunk(b"data", stereo)),
        "exact-blocks": riff(b"WAVE", chunk(b"fmt ", fmt()) + chunk(b"data", tone(BLOCK_FRAMES * 4))),
        "header-only": b"RIFF\4\0\0\0WAVE",
        "empty": b"",
    }

# ---------------------------------------------------------- version blocks

TEXT, BINARY = 1, 0


def align4(data):
    return data + b"\0" * (-len(data) % 4)


def node(key, value=b"", kind=BINARY, children=(), value_length=None, length=None):
    """One VS_VERSIONINFO node; value_length and length may lie."""
    head_key = align4(b"\0" * 6 + (key + "\0").encode("utf-16-le"))[6:]
    if value_length is None:
        value_length = len(value) // 2 if kind == TEXT else len(value)
    body = head_key + align4(value) + b"".join(align4(c) for c in children)
    total = 6 + len(body) if length is None else length
    return struct.pack("<HHH", total, value_length, kind) + body


def text(key, value):
    return node(key, (value + "\0").encode("utf-16-le"), TEXT)


def fixed(file_ms=0x00010000, file_ls=0x00000001, flags=0x3F):
    return struct.pack("<13I", 0xFEEF04BD, 0x00010000, file_ms, file_ls, file_ms, file_ls, 0x3F, flags,
                       0x40004, 1, 0, 0, 0)


STRINGS = [("CompanyName", "Tamsvik"), ("FileDescription", "Audio level meter"), ("FileVersion", "1.0.0.1"),
           ("InternalName", "quimbrel"), ("LegalCopyright", "(c) 2024"), ("LegalTrademarks", ""),
           ("OriginalFilename", "quimbrel"), ("ProductName", "Quimbrel"), ("ProductVersion", "1.0"),
           ("Comments", "Weather-satellite audio"), ("Web site", "https://example.org/")]


def version_block(tables=("080904E4",), translations=(0x0809, 0x04E4), strings=STRINGS, fixed_value=None):
    string_tables = [node(t, kind=TEXT, children=[text(k, v) for k, v in strings]) for t in tables]
    children = [node("StringFileInfo", kind=TEXT, children=string_tables)]
    if translations is not None:
        pairs = struct.pack("<%dH" % len(translations), *translations)
        children.append(node("VarFileInfo", kind=TEXT, children=[node("Translation", pairs)]))
    return node("VS_VERSION_INFO", fixed() if fixed_value is None else fixed_value, children=children)


def version_seeds():
    full = version_block()
    return {
        "full": full,
        "neutral-translation": version_block(tables=("040904E4",), translations=(0, 0)),
        "two-translations": version_block(tables=("040904B0", "080904E4"), translations=(0x0409, 0x04B0, 0x0809,
                                                                                        0x04E4)),
        "no-translation": version_block(translations=None),
        "odd-translation": version_block(translations=(0x0809, 0x04E4, 0x0409)),
        "no-fixed": version_block(fixed_value=b""),
        "short-fixed": version_block(fixed_value=fixed()[:20]),
        "no-strings": version_block(strings=()),
        "unterminated-string": node("VS_VERSION_INFO", fixed(), children=[node("StringFileInfo", kind=TEXT, children=[
            node("040904E4", kind=TEXT, children=[node("FileVersion", "1.2".encode("utf-16-le"), TEXT)])])]),
        "lying-child": node("VS_VERSION_INFO", fixed(), children=[node("StringFileInfo", kind=TEXT, length=4000)]),
        "lying-value": node("VS_VERSION_INFO", fixed(), value_length=4000),
        "truncated": full[: len(full) // 2],
        "root-only": node("VS_VERSION_INFO", fixed()),
        "tiny": b"\x02\x00",
    }

# ------------------------------------------------------ form descriptions

FORM_SEEDS = {
    "main-window-like": """object Form1: TFuzzForm
  Left = 192
  Top = 107
  BorderIcons = [biSystemMenu]
  BorderStyle = bsSingle
  Caption = 'Quimbrel - Tamsvik'
  ClientHeight = 351
  ClientWidth = 265
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OnCreate = FormCreate
  OnShow = FormShow
  OnCloseQuery = FormCloseQuery
  PixelsPerInch = 96
  TextHeight = 13
  object LevelMeter: TLevelMeter
    Left = 48
    Top = 16
    Width = 41
    Height = 289
    LeftdB = -50.0
    RightdB = -50.0
    MindB = -40
  end
  object LabelIntro: TLabel
    Left = 112
    Top = 136
    Width = 137
    Height = 52
    Caption = 'Adjust the recording level, or input signal level, until the' +
      ' level equals, but does not exceed, the marked lines.'
    WordWrap = True
  end
  object LED1: TLED
    Left = 128
    Top = 276
    Width = 17
    Height = 17
    Colour = clGreen
  end
  object Timer: TTimer
    Enabled = False
    Interval = 200
    OnTimer = TimerTimer
  end
  object VI: TVersionInfoResource
    ShowResource = [pdCompanyName, pdFileVersion]
    VersionLabel = LabelIntro
  end
end
""",
    "values": """object F: TFuzzForm
  Caption = 'it''s' + #13#10 + 'two lines'#9'tab'
  Tag = $7FFFFFFF
  Left = -2147483648
  Width = 99999999999
  Height = 1e3
  Visible = True
  // a comment
  object L: TLabel
    Caption = #65#66#67
    Alignment = taRightJustify
    AutoSize = False
    Font.Style = [fsBold, fsItalic]
    ParentFont = False
  end
end
""",
    "inherited": """object Base: TFuzzForm
  Caption = 'Base'
  object Label1: TLabel
    Caption = 'one'
  end
  object Meter: TLevelMeter
    MaxdB = 0
    MindB = -60
    IntervaldB = 0
  end
end
\0inherited Derived: TFuzzForm
  Caption = 'Derived'
  inherited Label1: TLabel
    Caption = 'two'
  end
  object Label2: TLabel
    Caption = 'three'
  end
end
""",
    "references": """object F: TFuzzForm
  object V: TVersionInfoResource
    Filename = '/nonexistent'
    ForceEXE = True
    CopyrightLabel = L1
    ProductLabel = nil
    DescriptionLabel = F
  end
  object L1: TLabel
  end
end
""",
    "errors": """object F: TFuzzForm
  object X: TNoSuchClass
  end
  Unknown = [a, b
  Caption = 'unterminated
end
""",
}


def as_fuzz_form(path):
    """A description of the program's, its root class replaced by the fuzz form."""
    lines = path.read_text(encoding="utf-8", errors="replace").splitlines(keepends=True)
    if lines and ":" in lines[0]:
        lines[0] = lines[0].split(":")[0] + ": TFuzzForm\n"
    return "".join(lines).encode()


def form_seeds():
    seeds = {name: text.replace("\\0", "\0").encode() for name, text in FORM_SEEDS.items()}
    # The program's own descriptions, alone and as the chains they are read in.
    forms = REPO / "resources" / "forms"
    for path in sorted(forms.glob("*.qfm")):
        seeds["qfm-" + path.stem] = as_fuzz_form(path)
    chain = [forms / (name + ".qfm") for name in ("AboutBox", "AboutBoxZOR", "HelpAboutBox")]
    if all(path.exists() for path in chain):
        seeds["qfm-chain-HelpAboutBox"] = b"\0".join(as_fuzz_form(path) for path in chain)
    return seeds


def write(target, seeds):
    folder = HERE / "corpus" / target
    if folder.exists():
        shutil.rmtree(folder)
    folder.mkdir(parents=True)
    for name, data in seeds.items():
        (folder / name).write_bytes(data)
    print("%s: %d seeds" % (target, len(seeds)))


def main():
    write("wavfile", wav_seeds())
    write("versioninfo", version_seeds())
    write("formloader", form_seeds())
    return 0


if __name__ == "__main__":
    sys.exit(main())
