#!/usr/bin/env python3
"""Every `#include "folder/..."` must name the file's own layer or one it links, directly or
through another layer. The links are read from each layer's CMakeLists.txt (`LINKS vornik_x ...`),
so the build and this check share one order. Usage: check_layers.py SOURCE_DIR [--self-test]"""
import pathlib, re, shutil, sys, tempfile

def layer_links(root):
    links = {}
    for cmake in root.glob('*/CMakeLists.txt'):
        text = cmake.read_text()
        if 'vornik_layer(' in text:
            deps = re.findall(r'\bvornik_(\w+)', ' '.join(re.findall(r'LINKS([^\n)]*)', text)))
            links[cmake.parent.name] = set(deps)
    for app in ('app', 'tools'):  # executables: may use any layer
        links[app] = set(links)
    return links

def reachable(links, layer, seen=None):
    seen = set() if seen is None else seen
    for dep in links.get(layer, ()):
        if dep not in seen:
            seen.add(dep)
            reachable(links, dep, seen)
    return seen

def violations(root):
    links = layer_links(root)
    found = []
    for layer in links:
        allowed = reachable(links, layer) | {layer}
        for source in sorted((root / layer).glob('*.[ch]*')):
            for number, line in enumerate(source.read_text().splitlines(), 1):
                match = re.match(r'\s*#\s*include\s+"(\w+)/', line)
                if match and match.group(1) not in allowed:
                    found.append(f'{source.relative_to(root)}:{number}: {layer} may not include {match.group(1)}/')
    return found

def self_test(root):
    """The check must catch an include that runs upward: the engine reaching into the window."""
    with tempfile.TemporaryDirectory() as scratch:
        copy = pathlib.Path(scratch) / 'tree'
        shutil.copytree(root, copy, ignore=shutil.ignore_patterns('.git', 'build*', 'tests', 'bench'))
        keyer = copy / 'engine' / 'keyer.cpp'
        keyer.write_text('#include "ui/trainer_form.h"\n' + keyer.read_text())
        return any('engine may not include ui/' in v for v in violations(copy))

if __name__ == '__main__':
    root = pathlib.Path(sys.argv[1])
    problems = violations(root)
    print('\n'.join(problems))
    if '--self-test' in sys.argv and not self_test(root):
        problems.append('self-test: an upward include went unnoticed')
        print(problems[-1])
    sys.exit(1 if problems else 0)
