#!/bin/sh
echo "no golden cases yet"; exit 0
