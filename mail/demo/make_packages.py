"""Makes the demo's sample transaction packages: real ZIP files holding small export files."""

import os
import sys
import zipfile

folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
samples = {
    "TRN_0001.ZIP": {"trn0001.txt": "Paragon;2024-03-01;12,50\r\n" * 40},
    "trn_0002.zip": {"trn0002.txt": "Faktura;2024-03-02;199,00\r\n" * 120, "kontrahenci.txt": "Kowalski;Lodz\r\n" * 30},
    "Raport.Zip": {"raport.txt": "Suma dnia: 211,50\r\n"},
}
for name, files in samples.items():
    with zipfile.ZipFile(os.path.join(folder, name), "w", zipfile.ZIP_DEFLATED) as z:
        for inner, text in files.items():
            z.writestr(inner, text)
# Not packages: left where they are.
with open(os.path.join(folder, "notatka.txt"), "w") as f:
    f.write("nie wysylac\n")
