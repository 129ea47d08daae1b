#!/usr/bin/env python3
"""The ADMX and its en-US ADML against what the program reads (settings/policy_values.h):
the same key and value names, every value a DWORD of 0 or 1, each policy's texts present.
Usage: check_policy_templates.py ROOT"""
import re
import sys
import xml.etree.ElementTree as ET

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}


def main(root):
    header = open(f"{root}/settings/policy_values.h").read()
    consts = dict(re.findall(r'inline constexpr char (k\w+)\[\] = "([^"]*)";', header))
    key = consts["kPolicyKey"].replace("\\\\", "\\")
    names = {consts[k] for k in ("kAllowSwitchingValue", "kAllowSettingsChangeValue",
                                 "kDisableHypervisorAtStartValue")}
    admx = ET.parse(f"{root}/installer/policy/Korvalen.admx").getroot()
    adml = ET.parse(f"{root}/installer/policy/en-US/Korvalen.adml").getroot()
    strings = {s.get("id"): s.text for s in adml.iterfind(".//p:stringTable/p:string", NS)}
    errors = []
    seen = set()
    for policy in admx.iterfind(".//p:policies/p:policy", NS):
        name = policy.get("name")
        seen.add(policy.get("valueName"))
        if policy.get("class") != "Machine":
            errors.append(f"{name}: class {policy.get('class')}, not Machine")
        if policy.get("key") != key:
            errors.append(f"{name}: key {policy.get('key')!r}, the program reads {key!r}")
        if policy.get("valueName") not in names:
            errors.append(f"{name}: value {policy.get('valueName')!r} is not read")
        on = policy.find("p:enabledValue/p:decimal", NS)
        off = policy.find("p:disabledValue/p:decimal", NS)
        if on is None or off is None or (on.get("value"), off.get("value")) != ("1", "0"):
            errors.append(f"{name}: enabled and disabled must write DWORD 1 and 0")
        if len(list(policy.find("p:elements", NS) or [])) != 0:
            errors.append(f"{name}: writes more than its one value")
        for attribute in ("displayName", "explainText"):
            ref = re.fullmatch(r"\$\(string\.(\w+)\)", policy.get(attribute) or "")
            if not ref or not strings.get(ref.group(1)):
                errors.append(f"{name}: {attribute} has no en-US text")
    if seen != names:
        errors.append(f"policies for {sorted(seen)}, the program reads {sorted(names)}")
    for e in errors:
        print(e)
    print(f"{len(seen)} policies checked, {len(errors)} errors")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
