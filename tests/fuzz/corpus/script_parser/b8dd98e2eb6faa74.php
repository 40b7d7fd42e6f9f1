<?php
class D extends Missing {}
