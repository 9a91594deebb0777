"""Renders a roombox model from the origin as an equirectangular panorama and
compares it with the panorama it was made from.

Run headless with Blender (Debian's `blender` package):

    blender -b --factory-startup --python tools/render_from_origin/render_from_origin.py -- \
        MODEL PANORAMA [--out RENDER.png] [--width 1024] [--samples 16]

MODEL is a .glb file (imported with Blender's glTF importer) or an .obj file
(its OBJ importer, scene coordinates kept: z up). Every material is lit by
nothing but its own texture: its image goes straight into an emission
shader. A Cycles camera at the origin renders the room as the input panorama
is laid out (column 0 towards +x, columns running towards -y, row 0 towards
+z) at WIDTH x WIDTH/2 pixels; the panorama is box-filtered to the same size.
The script prints the share of covered pixels (those the model covers) whose
three channels all lie within 16 levels of the panorama, and the mean
absolute difference, and exits with status 0.
"""

import argparse
import math
import sys

import bpy
import mathutils
import numpy as np

# Blender 3.4's glTF importer still uses numpy's removed alias np.bool, which
# numpy 1.24 (Debian 12) no longer has.
if "bool" not in np.__dict__:
    np.bool = bool


def parse_arguments():
    argv = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
    parser = argparse.ArgumentParser(prog="render_from_origin.py")
    parser.add_argument("model")
    parser.add_argument("panorama")
    parser.add_argument("--out", default="")
    parser.add_argument("--width", type=int, default=1024)
    parser.add_argument("--samples", type=int, default=16)
    parser.add_argument("--tolerance", type=int, default=16)
    return parser.parse_args(argv)


def clear_scene():
    for obj in list(bpy.data.objects):
        bpy.data.objects.remove(obj, do_unlink=True)


def import_model(path):
    if path.lower().endswith(".obj"):
        # Keep the scene's own axes: the OBJ files are written z up.
        if hasattr(bpy.ops.wm, "obj_import"):
            bpy.ops.wm.obj_import(filepath=path, forward_axis="Y", up_axis="Z")
        else:
            bpy.ops.import_scene.obj(filepath=path, axis_forward="Y", axis_up="Z")
    else:
        # glTF is y up; the importer turns it back into Blender's z up, which
        # is the scene's frame.
        bpy.ops.import_scene.gltf(filepath=path)


def emission_only(material):
    """Rewires material so that its image texture feeds an emission shader."""
    if not material.use_nodes:
        material.use_nodes = True
    tree = material.node_tree
    images = [n.image for n in tree.nodes if n.type == "TEX_IMAGE" and n.image]
    for node in list(tree.nodes):
        tree.nodes.remove(node)
    output = tree.nodes.new("ShaderNodeOutputMaterial")
    emission = tree.nodes.new("ShaderNodeEmission")
    emission.inputs["Strength"].default_value = 1.0
    tree.links.new(emission.outputs["Emission"], output.inputs["Surface"])
    if images:
        texture = tree.nodes.new("ShaderNodeTexImage")
        texture.image = images[0]
        texture.interpolation = "Linear"
        coordinates = tree.nodes.new("ShaderNodeTexCoord")
        tree.links.new(coordinates.outputs["UV"], texture.inputs["Vector"])
        tree.links.new(texture.outputs["Color"], emission.inputs["Color"])
    else:
        emission.inputs["Color"].default_value = (0, 0, 0, 1)


def set_up_render(width, samples, out):
    scene = bpy.context.scene
    scene.render.engine = "CYCLES"
    scene.cycles.device = "CPU"
    scene.cycles.samples = samples
    if hasattr(scene.cycles, "use_denoising"):
        scene.cycles.use_denoising = False
    scene.cycles.max_bounces = 0
    scene.cycles.pixel_filter_type = "BOX"
    scene.cycles.filter_width = 1.0
    scene.render.film_transparent = True
    scene.render.resolution_x = width
    scene.render.resolution_y = width // 2
    scene.render.resolution_percentage = 100
    scene.render.image_settings.file_format = "PNG"
    scene.render.image_settings.color_mode = "RGBA"
    scene.render.image_settings.color_depth = "8"
    scene.render.filepath = out
    # Colours pass through unchanged: the textures hold display values.
    scene.view_settings.view_transform = "Standard"
    scene.view_settings.look = "None"
    scene.view_settings.exposure = 0.0
    scene.view_settings.gamma = 1.0
    if scene.world is None:
        scene.world = bpy.data.worlds.new("World")
    scene.world.use_nodes = True
    background = scene.world.node_tree.nodes.get("Background")
    if background is not None:
        background.inputs["Color"].default_value = (0, 0, 0, 1)
        background.inputs["Strength"].default_value = 0.0

    camera_data = bpy.data.cameras.new("Panorama")
    camera_data.type = "PANO"
    if hasattr(camera_data, "panorama_type"):
        camera_data.panorama_type = "EQUIRECTANGULAR"
    else:
        camera_data.cycles.panorama_type = "EQUIRECTANGULAR"
    camera = bpy.data.objects.new("Panorama", camera_data)
    scene.collection.objects.link(camera)
    camera.location = (0.0, 0.0, 0.0)
    # Clip planes from the model's own size, so that a room in millimetres
    # or in kilometres is rendered whole (Blender's defaults, 0.1 to 100,
    # suit a room in metres only).
    farthest = 0.0
    for obj in scene.objects:
        if obj.type == "MESH":
            for corner in obj.bound_box:
                point = obj.matrix_world @ mathutils.Vector(corner)
                farthest = max(farthest, point.length)
    if farthest > 0.0:
        camera_data.clip_start = farthest * 1e-5
        camera_data.clip_end = farthest * 10.0
    # Cycles' equirectangular camera puts its view direction (local -z) at
    # the image centre, local +y at the top and local +x to the right of the
    # centre. The panorama's centre looks along -x, its top along +z, and a
    # quarter turn right of the centre along +y: a quarter turn about x, then
    # one about z.
    camera.rotation_euler = (math.pi / 2, 0.0, math.pi / 2)
    scene.camera = camera


def pixels_of(path):
    """An image file as an array of rows (top row first) of RGBA bytes."""
    image = bpy.data.images.load(path)
    width, height = image.size
    channels = image.channels
    data = np.array(image.pixels[:], dtype=np.float32).reshape(height, width, channels)
    data = np.flipud(data)
    if channels == 3:
        data = np.concatenate([data, np.ones((height, width, 1), np.float32)], axis=2)
    bpy.data.images.remove(image)
    return np.round(data * 255.0)


def box_filter(image, width, height):
    """image (rows, cols, 4) box-filtered down to height x width."""
    rows, cols = image.shape[:2]
    if rows % height == 0 and cols % width == 0:
        fy, fx = rows // height, cols // width
        return image.reshape(height, fy, width, fx, 4).mean(axis=(1, 3))
    ys = (np.arange(height) + 0.5) * rows / height
    xs = (np.arange(width) + 0.5) * cols / width
    return image[ys.astype(int)][:, xs.astype(int)]


def main():
    args = parse_arguments()
    out = args.out or (args.model.rsplit(".", 1)[0] + "-render.png")
    clear_scene()
    import_model(args.model)
    for material in bpy.data.materials:
        emission_only(material)
    set_up_render(args.width, args.samples, out)
    bpy.ops.render.render(write_still=True)

    render = pixels_of(out)
    height, width = render.shape[:2]
    panorama = box_filter(pixels_of(args.panorama), width, height)
    covered = render[:, :, 3] >= 128
    difference = np.abs(render[:, :, :3] - panorama[:, :, :3])
    within = (difference.max(axis=2) <= args.tolerance) & covered
    count = int(covered.sum())
    share = within.sum() / count if count else 0.0
    mean = difference[covered].mean() if count else 0.0
    print("render: %s (%d x %d)" % (out, width, height))
    print("covered pixels: %d of %d (%.1f %%)" % (count, width * height, 100.0 * count / (width * height)))
    print("within %d levels: %.1f %% of covered pixels" % (args.tolerance, 100.0 * share))
    print("mean absolute difference: %.1f levels" % mean)


if __name__ == "__main__":
    main()
