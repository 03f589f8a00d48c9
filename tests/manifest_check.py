#!/usr/bin/env python3
"""Reads the manifest as Windows does, which refuses to start a program whose
manifest is wrong (Wine checks hardly any of it): well formed, version 1.0,
every element in the namespace Windows requires for it, and what it declares.

Usage: manifest_check.py PROGRAM.exe MANIFEST
"""
import sys
import xml.etree.ElementTree as ET

ASM1, ASM3 = 'urn:schemas-microsoft-com:asm.v1', 'urn:schemas-microsoft-com:asm.v3'
COMPATIBILITY = 'urn:schemas-microsoft-com:compatibility.v1'
SMI = 'http://schemas.microsoft.com/SMI/%s/WindowsSettings'
# Each element, and the namespace it must be in.
NAMESPACES = {
    'assembly': ASM1, 'dependency': ASM1, 'dependentAssembly': ASM1, 'assemblyIdentity': ASM1,
    'compatibility': COMPATIBILITY, 'supportedOS': COMPATIBILITY,
    'windowsSettings': ASM3, 'dpiAware': SMI % 2005, 'dpiAwareness': SMI % 2016, 'activeCodePage': SMI % 2019,
}
WINDOWS_7_TO_11 = ['{35138b9a-5d96-4fbd-8e2d-a2440225f93a}', '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',
                   '{1f676c76-80e1-4239-95bb-83d0f6d0da78}', '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}']


def main(program, manifest):
    text = open(manifest, 'rb').read()
    assert text in open(program, 'rb').read(), 'the program does not carry this manifest'
    root = ET.fromstring(text)
    assert root.tag == '{%s}assembly' % ASM1 and root.get('manifestVersion') == '1.0', root.attrib
    for element in root.iter():
        namespace, name = element.tag[1:].split('}')
        # "application" stands under compatibility (its namespace) and under the assembly (asm.v3).
        wanted = NAMESPACES.get(name) or (ASM3 if element in list(root) else COMPATIBILITY)
        assert namespace == wanted, '%s in %s, not %s' % (name, namespace, wanted)
    found = lambda name: [e for e in root.iter() if e.tag.endswith('}' + name)]
    controls = found('assemblyIdentity')
    assert [c.attrib for c in controls] == [{'type': 'win32', 'name': 'Microsoft.Windows.Common-Controls',
        'version': '6.0.0.0', 'processorArchitecture': '*', 'publicKeyToken': '6595b64144ccf1df', 'language': '*'}]
    assert [e.get('Id') for e in found('supportedOS')] == WINDOWS_7_TO_11
    settings = {e.tag.split('}')[1]: e.text for e in found('windowsSettings')[0]}
    assert settings == {'dpiAware': 'true', 'dpiAwareness': 'PerMonitorV2, System', 'activeCodePage': 'ja-JP'}, settings
    # No execution level: it would end the virtualisation that keeps the
    # 32-bit build's settings in a protected folder.
    assert not found('trustInfo') and not found('requestedExecutionLevel')
    print('the manifest reads as Windows wants it')


if __name__ == '__main__':
    main(*sys.argv[1:])
